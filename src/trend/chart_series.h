#pragma once

#include <QString>
#include <span>
#include <vector>

#include "archive/test_points.h"

namespace qm4250 {

// What the chart's x axis counts: the sample number (the tests in time order, the usual axis of
// an individuals chart, where bursts of tests do not pile up) or the instrument's clock.
enum class ChartAxis { SampleNumber, Time };

// The tests of a selection as a chart draws them: those with a numeric leak, at their x, and
// where each power-up happened.
struct ChartSeries {
    std::vector<double> x;
    std::vector<double> y;
    std::vector<bool> reject;
    std::vector<bool> adjacent;  // tested right after the point before, no test between
    std::vector<const TestPoint*> source;
    std::vector<double> powerUps;  // a power-up test without a leak sits half-way to the next
    size_t withoutNumber = 0;      // tests whose leak is not a number
};

// Where a raw time stamp sits on the time axis: the instrument's clock read as UTC.
double ChartTime(qint64 seconds);
// The same as a date and time, as lists print it.
QString TestTimeText(qint64 seconds);

ChartSeries SeriesOf(std::span<const TestPoint> points, ChartAxis axis);

}  // namespace qm4250
