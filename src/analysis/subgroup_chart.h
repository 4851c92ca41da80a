#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qm4250 {

// Shewhart charts of subgroups of leak values in time order: the X-bar chart of their means over
// the R chart of their ranges or the S chart of their standard deviations; and the p-chart of the
// reject rate per day.

// `size` values in a row from `first`, of the values the subgroup was made of.
struct Subgroup {
    size_t first = 0;
    size_t size = 0;
};

// Of n consecutive values each, n from kSmallestSubgroup to kLargestSubgroup (none for another
// n); a last, incomplete subgroup is left out.
std::vector<Subgroup> ConsecutiveSubgroups(std::span<const double> values, int n);

// Each run of equal keys (the values' hour or shift) one subgroup, of any size; a run of one
// value is left out, having no spread.
std::vector<Subgroup> KeyedSubgroups(std::span<const int64_t> keys);

// The hour and the day a raw time stamp (seconds) falls in on the instrument's clock, counted from
// its epoch, as the charts read it (UTC, without daylight saving).
int64_t HourKey(int64_t seconds);
int64_t DayKey(int64_t seconds);

// The shifts of a working day, from the minutes after midnight each one starts (06:00 is 360).
// Starts outside 0 to 1439 are passed over and the rest taken in the clock's order, each once (a
// duplicate would start a shift of no length); none left: one shift a day, from midnight.
class ShiftCalendar {
  public:
    explicit ShiftCalendar(std::span<const int> startMinutes);

    // Consecutive shifts have consecutive keys. A time before the day's first start belongs to
    // the previous day's last shift.
    int64_t keyOf(int64_t seconds) const;
    const std::vector<int>& starts() const { return starts_; }

  private:
    std::vector<int> starts_;
};

enum class SpreadStatistic { Range, StandardDeviation };

// A subgroup as charted, with the limits for its size.
struct SubgroupPoint {
    Subgroup group;
    double mean = 0;
    double spread = 0;  // its range, or its standard deviation (n - 1)
    double meanLower = 0;
    double meanUpper = 0;
    double spreadCentre = 0;
    double spreadLower = 0;
    double spreadUpper = 0;
    bool meanBeyond = false;  // strictly beyond: on a limit is within
    bool spreadBeyond = false;
};

// The limits are made of one sigma estimate, the mean of R_i / d2(n_i) (or of s_i / c4(n_i)) over
// the subgroups; each subgroup's limits follow from it and its size n_i: the grand mean ± 3 sigma
// / √n_i, the spread's centre d2(n_i) sigma (c4(n_i) sigma) and its limits 3 d3(n_i) sigma (3
// √(1 - c4²) sigma) either side, the lower one not below zero. For equal sizes these are the
// textbook X̄̄ ± A2 R̄, D3 R̄ and D4 R̄ (X̄̄ ± A3 s̄, B3 s̄ and B4 s̄); subgroups by time, of
// unequal sizes, get limits that step with their sizes. All spreads zero: every limit collapses
// onto its centre, and equal values are beyond none.
struct SubgroupChart {
    SpreadStatistic statistic = SpreadStatistic::Range;
    double grandMean = 0;      // of every value charted, so a larger subgroup weighs more
    double averageSpread = 0;  // R̄ or s̄, the plain mean of the subgroups' spreads
    double sigma = 0;
    bool equalSizes = true;  // one set of limits; otherwise they step
    std::vector<SubgroupPoint> points;
    // Subgroups not charted: one holding a value that is not a finite number, or (R) of more than
    // kLargestSubgroup values, whose range has no constants: the S chart takes them.
    size_t leftOut = 0;

    size_t meansBeyond() const;
    size_t spreadsBeyond() const;
};

// None when no subgroup can be charted. A subgroup reaching past the values is left out.
std::optional<SubgroupChart> SubgroupChartOf(std::span<const double> values,
                                             std::span<const Subgroup> groups,
                                             SpreadStatistic statistic);

// The tests of a day (or of any key) and how many of them were rejects.
struct RejectCount {
    int64_t key = 0;
    uint64_t tests = 0;
    uint64_t rejects = 0;
};

// Per key, in the keys' order, however the tests are ordered: a day's tests before and after a
// clock set back count together. The shorter of the two lists sets how many tests are counted.
std::vector<RejectCount> CountPerKey(std::span<const int64_t> keys,
                                     const std::vector<bool>& rejects);

struct ProportionPoint {
    RejectCount count;
    double rate = 0;   // rejects / tests
    double lower = 0;  // p̄ - 3 √(p̄ (1 - p̄) / n), not below 0
    double upper = 0;  // p̄ + 3 √(p̄ (1 - p̄) / n), not above 1
    bool beyond = false;
};

// The p-chart: the centre p̄ = Σ rejects / Σ tests, and limits for each count's number of tests.
struct ProportionChart {
    double rate = 0;
    std::vector<ProportionPoint> points;

    size_t beyond() const;
};

// A count of no tests, or of more rejects than tests, is passed over; none when none is left.
std::optional<ProportionChart> ProportionChartOf(std::span<const RejectCount> counts);

}  // namespace qm4250
