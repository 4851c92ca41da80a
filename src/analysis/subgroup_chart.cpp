#include "analysis/subgroup_chart.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/subgroup_constants.h"

namespace qm4250 {

namespace {

constexpr int64_t kSecondsPerHour = 3600;
constexpr int64_t kSecondsPerDay = 86400;
constexpr int kMinutesPerDay = 1440;

// Rounding down, so that a time stamp before the epoch still falls in its own hour.
int64_t FloorDivide(int64_t value, int64_t divisor) {
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

struct Moments {
    double mean = 0;
    double range = 0;
    double deviation = 0;  // n - 1
};

// Sums are taken from the first value, so that equal values give their own value back exactly
// and readings close together lose no digits. None when anything is not a finite number.
std::optional<Moments> MomentsOf(std::span<const double> values) {
    double origin = values.front();
    double sum = 0;
    auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    for (double value : values)
        sum += value - origin;
    double n = static_cast<double>(values.size());
    Moments moments{origin + sum / n, *highest - *lowest, 0};
    double squares = 0;
    for (double value : values)
        squares += (value - moments.mean) * (value - moments.mean);
    moments.deviation = std::sqrt(squares / (n - 1));
    if (!std::isfinite(sum) || !std::isfinite(moments.range) || !std::isfinite(squares))
        return std::nullopt;
    return moments;
}

bool TooLargeForRange(size_t size) {
    return size > static_cast<size_t>(kLargestSubgroup);
}

// The spread's mean and standard deviation in sigmas, for a subgroup of n.
struct SpreadFactors {
    double centre = 0;
    double deviation = 0;
};

SpreadFactors FactorsFor(SpreadStatistic statistic, size_t n) {
    if (statistic == SpreadStatistic::Range) {
        const SubgroupConstants& c = ConstantsForSubgroup(static_cast<int>(n));
        return {c.d2, c.d3};
    }
    DeviationBias bias = DeviationBiasFor(n);
    return {bias.c4, bias.spread};
}

}  // namespace

std::vector<Subgroup> ConsecutiveSubgroups(std::span<const double> values, int n) {
    std::vector<Subgroup> groups;
    if (n < kSmallestSubgroup || n > kLargestSubgroup)
        return groups;
    size_t size = static_cast<size_t>(n);
    groups.reserve(values.size() / size);
    for (size_t first = 0; values.size() - first >= size; first += size)
        groups.push_back({first, size});
    return groups;
}

std::vector<Subgroup> KeyedSubgroups(std::span<const int64_t> keys) {
    std::vector<Subgroup> groups;
    for (size_t first = 0, end = 0; first < keys.size(); first = end) {
        end = first + 1;
        while (end < keys.size() && keys[end] == keys[first])
            ++end;
        if (end - first > 1)
            groups.push_back({first, end - first});
    }
    return groups;
}

int64_t HourKey(int64_t seconds) {
    return FloorDivide(seconds, kSecondsPerHour);
}

int64_t DayKey(int64_t seconds) {
    return FloorDivide(seconds, kSecondsPerDay);
}

ShiftCalendar::ShiftCalendar(std::span<const int> startMinutes) {
    for (int start : startMinutes)
        if (start >= 0 && start < kMinutesPerDay)
            starts_.push_back(start);
    std::sort(starts_.begin(), starts_.end());
    starts_.erase(std::unique(starts_.begin(), starts_.end()), starts_.end());
    if (starts_.empty())
        starts_.push_back(0);
}

int64_t ShiftCalendar::keyOf(int64_t seconds) const {
    // The remainder, not the day's first second, which would overflow for the earliest days.
    int64_t secondOfDay = seconds % kSecondsPerDay;
    if (secondOfDay < 0)
        secondOfDay += kSecondsPerDay;
    int minute = static_cast<int>(secondOfDay / 60);
    auto shifts = static_cast<int64_t>(starts_.size());
    auto after = std::upper_bound(starts_.begin(), starts_.end(), minute);
    int64_t day = DayKey(seconds);
    if (after == starts_.begin())
        return (day - 1) * shifts + shifts - 1;
    return day * shifts + (after - starts_.begin()) - 1;
}

size_t SubgroupChart::meansBeyond() const {
    return static_cast<size_t>(
        std::count_if(points.begin(), points.end(), [](const auto& p) { return p.meanBeyond; }));
}

size_t SubgroupChart::spreadsBeyond() const {
    return static_cast<size_t>(
        std::count_if(points.begin(), points.end(), [](const auto& p) { return p.spreadBeyond; }));
}

std::optional<SubgroupChart> SubgroupChartOf(std::span<const double> values,
                                             std::span<const Subgroup> groups,
                                             SpreadStatistic statistic) {
    SubgroupChart chart;
    chart.statistic = statistic;
    for (const Subgroup& group : groups) {
        std::optional<Moments> moments;
        bool fits = group.size >= 2 && group.first < values.size() &&
                    values.size() - group.first >= group.size;
        if (fits && !(statistic == SpreadStatistic::Range && TooLargeForRange(group.size)))
            moments = MomentsOf(values.subspan(group.first, group.size));
        if (!moments) {
            ++chart.leftOut;
            continue;
        }
        SubgroupPoint point;
        point.group = group;
        point.mean = moments->mean;
        point.spread = statistic == SpreadStatistic::Range ? moments->range : moments->deviation;
        chart.points.push_back(point);
    }
    if (chart.points.empty())
        return std::nullopt;

    double origin = chart.points.front().mean;
    double weightedSum = 0, spreadSum = 0, sigmaSum = 0, count = 0;
    for (const SubgroupPoint& point : chart.points) {
        auto size = static_cast<double>(point.group.size);
        weightedSum += size * (point.mean - origin);
        count += size;
        spreadSum += point.spread;
        sigmaSum += point.spread / FactorsFor(statistic, point.group.size).centre;
        chart.equalSizes = chart.equalSizes && point.group.size == chart.points.front().group.size;
    }
    auto subgroups = static_cast<double>(chart.points.size());
    chart.grandMean = origin + weightedSum / count;
    chart.averageSpread = spreadSum / subgroups;
    chart.sigma = sigmaSum / subgroups;
    if (!std::isfinite(chart.grandMean) || !std::isfinite(chart.sigma))
        return std::nullopt;

    for (SubgroupPoint& point : chart.points) {
        SpreadFactors factors = FactorsFor(statistic, point.group.size);
        double halfWidth = 3 * chart.sigma / std::sqrt(static_cast<double>(point.group.size));
        point.meanLower = chart.grandMean - halfWidth;
        point.meanUpper = chart.grandMean + halfWidth;
        point.spreadCentre = factors.centre * chart.sigma;
        point.spreadLower = std::max(0.0, (factors.centre - 3 * factors.deviation) * chart.sigma);
        point.spreadUpper = (factors.centre + 3 * factors.deviation) * chart.sigma;
        point.meanBeyond = point.mean > point.meanUpper || point.mean < point.meanLower;
        point.spreadBeyond = point.spread > point.spreadUpper || point.spread < point.spreadLower;
    }
    return chart;
}

std::vector<RejectCount> CountPerKey(std::span<const int64_t> keys,
                                     const std::vector<bool>& rejects) {
    std::map<int64_t, RejectCount> perKey;
    for (size_t i = 0; i < std::min(keys.size(), rejects.size()); ++i) {
        RejectCount& count = perKey[keys[i]];
        count.key = keys[i];
        ++count.tests;
        count.rejects += rejects[i] ? 1 : 0;
    }
    std::vector<RejectCount> counts;
    counts.reserve(perKey.size());
    for (const auto& [key, count] : perKey)
        counts.push_back(count);
    return counts;
}

size_t ProportionChart::beyond() const {
    return static_cast<size_t>(
        std::count_if(points.begin(), points.end(), [](const auto& p) { return p.beyond; }));
}

std::optional<ProportionChart> ProportionChartOf(std::span<const RejectCount> counts) {
    ProportionChart chart;
    double tests = 0, rejects = 0;
    for (const RejectCount& count : counts) {
        if (count.tests == 0 || count.rejects > count.tests)
            continue;
        tests += static_cast<double>(count.tests);
        rejects += static_cast<double>(count.rejects);
        ProportionPoint point;
        point.count = count;
        point.rate = static_cast<double>(count.rejects) / static_cast<double>(count.tests);
        chart.points.push_back(point);
    }
    if (chart.points.empty())
        return std::nullopt;
    chart.rate = rejects / tests;
    for (ProportionPoint& point : chart.points) {
        double sigma =
            std::sqrt(chart.rate * (1 - chart.rate) / static_cast<double>(point.count.tests));
        point.lower = std::max(0.0, chart.rate - 3 * sigma);
        point.upper = std::min(1.0, chart.rate + 3 * sigma);
        point.beyond = point.rate > point.upper || point.rate < point.lower;
    }
    return chart;
}

}  // namespace qm4250
