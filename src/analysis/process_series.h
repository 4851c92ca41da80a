#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qm4250 {

// What a test's leak field read when it was not a number: beyond the instrument's range ("OVER",
// "UNDER"), or anything else (blank, a message).
enum class LeakReading : uint8_t { Number, Over, Under, Other };

// A test as the statistics see it, in time order with the other tests of its part number.
struct TestReading {
    std::optional<double> leak;                 // none when the reading is not a number
    LeakReading reading = LeakReading::Number;  // what it read, where that was not a number
    bool reject = false;
    // Part of the process, and so of its limits: not left out, not a reject while rejects are
    // kept out. A test without a numeric leak never is.
    bool kept = true;
};

// The numeric leaks of a part's tests in time order, as its chart draws them and its limits take
// them.
struct ProcessSeries {
    std::vector<double> values;
    std::vector<bool> kept;      // part of the process
    std::vector<bool> adjacent;  // tested right after the value before, no other test between

    size_t size() const { return values.size(); }
};

// The numeric readings of the tests; one without a number parts the values either side of it.
ProcessSeries SeriesOfReadings(const std::vector<TestReading>& tests);
// A plain run of readings: every value kept, each right after the one before.
ProcessSeries WholeSeries(std::vector<double> values);

// The kept values, in time order.
std::vector<double> KeptValues(const ProcessSeries& series);

// Where the moving ranges of the process are formed: at each value that is kept and was tested
// right after a kept value, the range being the difference of the two. A range that would span a
// test removed from the process (a reject, a test left out, one without a numeric leak) is not
// formed: it would measure the removal, not the process.
std::vector<size_t> FormedRanges(const ProcessSeries& series);

}  // namespace qm4250
