#include "analysis/part_statistics.h"

#include <algorithm>
#include <cmath>

namespace qm4250 {

namespace {

bool Outside(const TestReading& test, const ToleranceLimits& tolerance) {
    if (test.leak)
        return (tolerance.upper && *test.leak > *tolerance.upper) ||
               (tolerance.lower && *test.leak < *tolerance.lower);
    return (tolerance.upper && test.reading == LeakReading::Over) ||
           (tolerance.lower && test.reading == LeakReading::Under);
}

}  // namespace

double ObservedPpm(const std::vector<TestReading>& tests, const ToleranceLimits& tolerance) {
    if (tests.empty())
        return 0;
    auto outside = std::count_if(tests.begin(), tests.end(),
                                 [&](const TestReading& test) { return Outside(test, tolerance); });
    return 1e6 * static_cast<double>(outside) / static_cast<double>(tests.size());
}

PartStatistics StatisticsOfPart(std::string_view pn, const std::vector<TestReading>& tests,
                                const PartJudging& judging) {
    PartStatistics statistics;
    statistics.pn = std::string(pn);
    statistics.n = tests.size();
    statistics.tolerance = judging.tolerance;
    if (tests.empty())
        return statistics;
    auto rejects = std::count_if(tests.begin(), tests.end(),
                                 [](const TestReading& test) { return test.reject; });
    statistics.rejectRate = static_cast<double>(rejects) / static_cast<double>(tests.size());
    if (judging.tolerance)
        statistics.observedPpm = ObservedPpm(tests, *judging.tolerance);

    ProcessSeries series = SeriesOfReadings(tests);
    if (!series.values.empty()) {
        auto [min, max] = std::minmax_element(series.values.begin(), series.values.end());
        statistics.min = *min;
        statistics.max = *max;
    }
    std::optional<ControlLimits> own = IndividualsLimits(series);
    statistics.limits = judging.frozen ? judging.frozen : own;
    if (statistics.limits)
        statistics.ruleBreaks = PointsBreaking(series.values, statistics.limits->mean,
                                               statistics.limits->sigmaMovingRange, judging.rules);

    // The process's mean and overall sigma, in two passes over the kept values, not a copy.
    double sum = 0;
    for (size_t i = 0; i < series.size(); ++i)
        if (series.kept[i]) {
            ++statistics.kept;
            sum += series.values[i];
        }
    if (statistics.kept == 0)
        return statistics;
    double kept = static_cast<double>(statistics.kept);
    statistics.mean = sum / kept;
    if (statistics.kept > 1) {
        double squares = 0;
        for (size_t i = 0; i < series.size(); ++i)
            if (series.kept[i])
                squares +=
                    (series.values[i] - statistics.mean) * (series.values[i] - statistics.mean);
        statistics.sigmaOverall = std::sqrt(squares / (kept - 1));
        statistics.suggestedSetPoint = statistics.mean + 3 * *statistics.sigmaOverall;
    }
    if (own)
        statistics.sigmaMovingRange = own->sigmaMovingRange;
    if (judging.tolerance && statistics.sigmaMovingRange && statistics.sigmaOverall)
        statistics.capability =
            CapabilityOf(statistics.kept, *judging.tolerance, statistics.mean,
                         *statistics.sigmaMovingRange, *statistics.sigmaOverall);
    return statistics;
}

}  // namespace qm4250
