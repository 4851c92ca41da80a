#include "trend/selection_judging.h"

#include "trend/rule_names.h"

namespace qm4250 {

std::optional<ToleranceLimits> SelectionJudging::toleranceOf(const QString& pn) const {
    auto found = tolerances.find(pn);
    if (found == tolerances.end())
        return std::nullopt;
    return ToleranceLimits{found->second.lower, found->second.upper};
}

QString SelectionJudging::unitOf(const QString& pn) const {
    auto found = tolerances.find(pn);
    return found == tolerances.end() ? QString() : found->second.unit;
}

std::optional<ControlLimits> SelectionJudging::frozenOf(const QString& pn) const {
    auto found = frozen.find(pn);
    if (!judgeByFrozen || found == frozen.end())
        return std::nullopt;
    return found->second.limits;
}

bool SelectionJudging::inLimits(const TestPoint& test) const {
    return !(rejectsOutOfLimits && test.reject) && !exclusions.count(test.id);
}

ChartView SelectionJudging::viewOf(const ChartSeries& series, const QString& pn, ChartAxis axis,
                                   const QString& title) const {
    ChartView view;
    view.axis = axis;
    view.title = title;
    view.rules = rules;
    view.rejectsOutOfLimits = rejectsOutOfLimits;
    if (!pn.isNull()) {
        view.tolerance = toleranceOf(pn);
        view.unit = unitOf(pn);
        view.frozen = frozenOf(pn);
    }
    view.excluded.resize(series.source.size());
    for (size_t i = 0; i < series.source.size(); ++i)
        view.excluded[i] = exclusions.count(series.source[i]->id) > 0;
    return view;
}

TestReading SelectionJudging::readingOf(const TestPoint& test) const {
    return {test.leak, test.reading, test.reject, test.leak.has_value() && inLimits(test)};
}

PartStatistics SelectionJudging::statisticsOf(const QString& pn,
                                              const std::vector<TestReading>& tests) const {
    PartStatistics statistics =
        StatisticsOfPart(pn.toStdString(), tests, {frozenOf(pn), rules, toleranceOf(pn)});
    statistics.unit = unitOf(pn).toStdString();
    return statistics;
}

Result<SelectionJudging, ArchiveError> ReadJudging(ArchiveConnection& connection,
                                                   const std::vector<QString>& pns,
                                                   SelectionJudging choices) {
    auto tolerances = StandingPartLimits(connection, pns);
    if (!tolerances)
        return tolerances.error();
    auto frozen = StandingFrozenLimits(connection, pns);
    if (!frozen)
        return frozen.error();
    auto exclusions = StandingExclusions(connection, pns);
    if (!exclusions)
        return exclusions.error();
    choices.tolerances = std::move(tolerances.value());
    choices.frozen = std::move(frozen.value());
    choices.exclusions = std::move(exclusions.value());
    return choices;
}

std::vector<ListedTest> BreakList(const ChartSeries& series, const ChartSummary& summary,
                                  size_t atMost) {
    std::vector<ListedTest> list;
    for (size_t i = 0; i < std::min(atMost, summary.breaks.size()); ++i) {
        const RunRuleBreak& broken = summary.breaks[i];
        list.push_back({series.source[broken.index], series.y[broken.index],
                        RuleName(broken.rule) + ": " + RuleDescription(broken.rule)});
    }
    return list;
}

std::vector<ListedTest> ExclusionList(const ChartSeries& series, const SelectionJudging& judging) {
    std::vector<ListedTest> list;
    if (judging.exclusions.empty())
        return list;
    for (size_t i = 0; i < series.source.size(); ++i) {
        auto found = judging.exclusions.find(series.source[i]->id);
        if (found != judging.exclusions.end())
            list.push_back({series.source[i], series.y[i],
                            QString("%1 (%2, %3)")
                                .arg(found->second.reason, found->second.changedBy,
                                     found->second.changedAt.toString("yyyy-MM-dd"))});
    }
    return list;
}

}  // namespace qm4250
