// How a selection is split into its part numbers, the same for the window's chooser, its
// statistics and the report's pages.
#include "trend/judged_selection.h"

#include <gtest/gtest.h>

using namespace qm4250;

namespace {

// Tests in time order, each of the PN at that index; those of index 3 have no numeric leak.
SelectedTests Selection(const std::vector<QString>& pns, const std::vector<uint32_t>& parts) {
    SelectedTests selected{{}, pns};
    for (size_t k = 0; k < parts.size(); ++k)
        selected.points.push_back(
            {.id = static_cast<qint64>(k + 1),
             .seconds = static_cast<qint64>(k),
             .leak = parts[k] == 3 ? std::nullopt : std::optional(0.001 * double(k)),
             .part = parts[k]});
    return selected;
}

std::vector<qint64> Ids(std::span<const TestPoint> tests) {
    std::vector<qint64> ids;
    for (const TestPoint& test : tests)
        ids.push_back(test.id);
    return ids;
}

TEST(JudgedSelectionTest, PartsGoMostTestedFirstThenByTextEachInTimeOrder) {
    // B twice, A twice, C three times, D once and without a numeric leak.
    SelectedTests selected = Selection({"B", "A", "C", "D"}, {2, 0, 1, 2, 0, 1, 2, 3});
    std::vector<std::pair<QString, size_t>> order;
    for (const PnCount& pn : PnsByCount(selected)) {
        order.emplace_back(pn.pn, pn.tests);
        EXPECT_EQ(selected.pns[pn.part], pn.pn);
    }
    EXPECT_EQ(order,
              (std::vector<std::pair<QString, size_t>>{{"C", 3}, {"A", 2}, {"B", 2}, {"D", 1}}));

    std::vector<std::vector<TestPoint>> byPart = TestsByPart(selected);
    EXPECT_EQ(Ids(byPart[2]), (std::vector<qint64>{1, 4, 7}));
    EXPECT_EQ(Ids(TestsOf(selected, "A").tests), (std::vector<qint64>{3, 6}));
    EXPECT_EQ(Ids(TestsOf(selected, "B").tests), Ids(byPart[0]));
    EXPECT_TRUE(TestsOf(selected, "none").tests.empty());
    SelectedTests one = Selection({"A"}, {0, 0, 0});
    EXPECT_EQ(TestsOf(one, "A").tests.data(), one.points.data()) << "not copied";

    std::vector<std::pair<std::string, size_t>> statistics;
    for (const PartStatistics& part : StatisticsPerPart(selected, {}))
        statistics.emplace_back(part.pn, part.n);
    EXPECT_EQ(statistics,
              (std::vector<std::pair<std::string, size_t>>{{"A", 2}, {"B", 2}, {"C", 3}, {"D", 1}}))
        << "D, with no numeric leak, counts its test too";
}

}  // namespace
