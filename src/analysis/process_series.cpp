#include "analysis/process_series.h"

#include <utility>

namespace qm4250 {

ProcessSeries SeriesOfReadings(const std::vector<TestReading>& tests) {
    ProcessSeries series;
    series.values.reserve(tests.size());
    bool afterValue = false;
    for (const TestReading& test : tests) {
        if (!test.leak) {
            afterValue = false;
            continue;
        }
        series.values.push_back(*test.leak);
        series.kept.push_back(test.kept);
        series.adjacent.push_back(afterValue);
        afterValue = true;
    }
    return series;
}

ProcessSeries WholeSeries(std::vector<double> values) {
    ProcessSeries series;
    series.kept.assign(values.size(), true);
    series.adjacent.assign(values.size(), true);
    if (!values.empty())
        series.adjacent[0] = false;
    series.values = std::move(values);
    return series;
}

std::vector<double> KeptValues(const ProcessSeries& series) {
    std::vector<double> kept;
    kept.reserve(series.size());
    for (size_t i = 0; i < series.size(); ++i)
        if (series.kept[i])
            kept.push_back(series.values[i]);
    return kept;
}

std::vector<size_t> FormedRanges(const ProcessSeries& series) {
    std::vector<size_t> formed;
    formed.reserve(series.size());
    for (size_t i = 1; i < series.size(); ++i)
        if (series.kept[i] && series.kept[i - 1] && series.adjacent[i])
            formed.push_back(i);
    return formed;
}

}  // namespace qm4250
