#include "trend/judged_selection.h"

#include <algorithm>
#include <utility>

namespace qm4250 {

std::variant<JudgedSelection, SelectionNotRead> SelectAndJudge(ArchiveConnection& connection,
                                                               const TestFilter& filter,
                                                               SelectionJudging choices) {
    Result<SelectedTests, ArchiveError> selected = SelectTestPoints(connection, filter);
    if (!selected)
        return SelectionNotRead{SelectionNotRead::What::Tests, selected.error()};
    JudgedSelection judged;
    judged.selected = std::move(selected.value());
    Result<SelectionJudging, ArchiveError> judging =
        ReadJudging(connection, judged.selected.pns, std::move(choices));
    if (!judging)
        return SelectionNotRead{SelectionNotRead::What::Judging, judging.error()};
    judged.judging = std::move(judging.value());
    return judged;
}

std::vector<PnCount> PnsByCount(const SelectedTests& selected) {
    std::vector<PnCount> pns;
    for (const QString& pn : selected.pns)
        pns.push_back({pn, static_cast<uint32_t>(pns.size()), 0});
    for (const TestPoint& point : selected.points)
        ++pns[point.part].tests;
    std::sort(pns.begin(), pns.end(), [](const PnCount& a, const PnCount& b) {
        return a.tests != b.tests ? a.tests > b.tests : a.pn < b.pn;
    });
    return pns;
}

PartTests TestsOf(const SelectedTests& selected, const QString& pn) {
    if (selected.pns.size() == 1 && selected.pns.front() == pn)
        return PartTests(std::span<const TestPoint>(selected.points));
    auto found = std::find(selected.pns.begin(), selected.pns.end(), pn);
    auto part = static_cast<uint32_t>(found - selected.pns.begin());
    std::vector<TestPoint> tests;
    tests.reserve(static_cast<size_t>(
        std::count_if(selected.points.begin(), selected.points.end(),
                      [part](const TestPoint& point) { return point.part == part; })));
    for (const TestPoint& point : selected.points)
        if (point.part == part)
            tests.push_back(point);
    return PartTests(std::move(tests));
}

std::vector<std::vector<TestPoint>> TestsByPart(const SelectedTests& selected) {
    std::vector<std::vector<TestPoint>> parts(selected.pns.size());
    for (const PnCount& pn : PnsByCount(selected))
        parts[pn.part].reserve(pn.tests);
    for (const TestPoint& point : selected.points)
        parts[point.part].push_back(point);
    return parts;
}

std::vector<PartStatistics> StatisticsPerPart(const SelectedTests& selected,
                                              const SelectionJudging& judging) {
    std::vector<std::vector<TestReading>> tests(selected.pns.size());
    for (const PnCount& pn : PnsByCount(selected))
        tests[pn.part].reserve(pn.tests);
    for (const TestPoint& point : selected.points)
        tests[point.part].push_back(judging.readingOf(point));
    std::vector<PartStatistics> parts;
    for (size_t part = 0; part < tests.size(); ++part)
        parts.push_back(judging.statisticsOf(selected.pns[part], tests[part]));
    std::sort(parts.begin(), parts.end(),
              [](const PartStatistics& a, const PartStatistics& b) { return a.pn < b.pn; });
    return parts;
}

}  // namespace qm4250
