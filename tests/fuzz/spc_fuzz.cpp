// Leaks and time stamps as an archive may hold them, any double and any clock, through the
// statistics the charts are judged by: no crash, no hang, and every answer within its input.
#include <cmath>
#include <cstring>
#include <vector>

#include "analysis/capability.h"
#include "analysis/chart_judgement.h"
#include "analysis/part_statistics.h"
#include "analysis/subgroup_chart.h"
#include "fuzz_target.h"

using namespace qm4250;

namespace {

template <typename T>
T Next(InputReader& input) {
    T value{};
    std::string_view bytes = input.bytes(sizeof value);
    std::memcpy(&value, bytes.data(), bytes.size());
    return value;
}

std::vector<RunRule> RulesOf(uint16_t ruleBits) {
    std::vector<RunRule> rules;
    for (size_t r = 0; r < std::size(kAllRunRules); ++r)
        if (ruleBits >> r & 1)
            rules.push_back(kAllRunRules[r]);
    return rules;
}

void CheckJudgement(const std::vector<TestReading>& tests, uint16_t ruleBits) {
    ProcessSeries series = SeriesOfReadings(tests);
    const std::vector<double>& values = series.values;
    ChartJudgement judged = JudgeChart(series, std::nullopt, RulesOf(ruleBits));
    FUZZ_CHECK(judged.broken.size() == values.size());
    size_t broken = 0;
    for (bool flag : judged.broken)
        broken += flag;
    FUZZ_CHECK(broken == judged.pointsBroken);
    for (const RunRuleBreak& rule : judged.breaks)
        FUZZ_CHECK(rule.index < values.size() && judged.broken[rule.index]);
}

// Every test counted, the process within it, and Cpk never above Cp.
void CheckStatistics(const std::vector<TestReading>& tests, uint16_t ruleBits) {
    for (const ToleranceLimits& tolerance :
         {ToleranceLimits{std::nullopt, 1.0}, ToleranceLimits{-1.0, 1.0}}) {
        PartStatistics part =
            StatisticsOfPart("P", tests, {std::nullopt, RulesOf(ruleBits), tolerance});
        FUZZ_CHECK(part.n == tests.size() && part.kept <= part.n);
        FUZZ_CHECK(part.rejectRate >= 0 && part.rejectRate <= 1);
        FUZZ_CHECK(part.observedPpm.has_value() == !tests.empty());
        FUZZ_CHECK(!part.observedPpm || (*part.observedPpm >= 0 && *part.observedPpm <= 1e6));
        FUZZ_CHECK(
            part.ruleBreaks ==
            JudgeChart(SeriesOfReadings(tests), std::nullopt, RulesOf(ruleBits)).pointsBroken);
        if (part.capability && part.capability->cp)
            FUZZ_CHECK(part.capability->cpk <= *part.capability->cp * (1 + 1e-12) + 1e-12);
    }
}

void CheckSubgroups(const std::vector<double>& values, const std::vector<int64_t>& seconds, int n,
                    std::span<const int> shiftStarts) {
    std::vector<int64_t> keys;
    ShiftCalendar shifts(shiftStarts);
    for (int64_t at : seconds)
        keys.push_back(n % 2 ? HourKey(at) : shifts.keyOf(at));
    for (const std::vector<Subgroup>& groups :
         {ConsecutiveSubgroups(values, n), KeyedSubgroups(keys)}) {
        for (SpreadStatistic statistic :
             {SpreadStatistic::Range, SpreadStatistic::StandardDeviation}) {
            std::optional<SubgroupChart> chart = SubgroupChartOf(values, groups, statistic);
            if (!chart)
                continue;
            FUZZ_CHECK(chart->points.size() + chart->leftOut <= groups.size());
            for (const SubgroupPoint& point : chart->points)
                FUZZ_CHECK(point.group.first + point.group.size <= values.size());
        }
    }
}

void CheckRejectRate(const std::vector<int64_t>& seconds, const std::vector<bool>& rejects) {
    std::vector<int64_t> days;
    for (int64_t at : seconds)
        days.push_back(DayKey(at));
    std::vector<RejectCount> counts = CountPerKey(days, rejects);
    if (std::optional<ProportionChart> chart = ProportionChartOf(counts)) {
        FUZZ_CHECK(chart->rate >= 0 && chart->rate <= 1);
        for (const ProportionPoint& point : chart->points)
            FUZZ_CHECK(point.lower >= 0 && point.upper <= 1 && point.lower <= point.upper);
    }
}

}  // namespace

// The first bytes choose the rules, the subgroup size and the shifts; then each test is a leak,
// a time stamp and a reject flag.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input(data, size);
    auto ruleBits = Next<uint16_t>(input);
    int n = input.byte() % 30;
    int shiftStarts[] = {Next<int16_t>(input), Next<int16_t>(input), Next<int16_t>(input)};
    std::vector<double> values;
    std::vector<int64_t> seconds;
    std::vector<bool> rejects;
    std::vector<TestReading> tests;
    while (!input.done() && values.size() < 4096) {
        values.push_back(Next<double>(input));
        seconds.push_back(Next<int64_t>(input));
        uint8_t flags = input.byte();
        rejects.push_back(flags & 1);
        // A leak that is not a number, read as the archive reads "OVER", "UNDER" or any text.
        auto reading = static_cast<LeakReading>(flags >> 2 & 3);
        tests.push_back(
            {reading == LeakReading::Number ? std::optional(values.back()) : std::nullopt, reading,
             rejects.back(), reading == LeakReading::Number && !(flags & 2)});
    }
    CheckJudgement(tests, ruleBits);
    CheckStatistics(tests, ruleBits);
    CheckSubgroups(values, seconds, n, shiftStarts);
    CheckRejectRate(seconds, rejects);
    return 0;
}
