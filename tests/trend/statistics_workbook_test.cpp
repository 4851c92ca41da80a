// The statistics as the table shows them, and as a workbook holds them: the same columns, with
// numbers as numbers; the chart's tests with their dates as dates.
#include "trend/statistics_workbook.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <regex>

#include "export/typed_read_back.h"
#include "trend/statistics_cells.h"

using namespace qm4250;

namespace {

// Every statistic set, each a number the reader gives back as written.
PartStatistics Capable() {
    // n, Cp, Pp, the one-sided indices, Cpk, Ppk, Cpk's interval, ppm expected
    Capability capability{0, 2.5, 1.875, {}, {}, {}, {}, 1.6667, 1.25, {1.3456, 1.98765}, 87.5};
    return {.pn = "PN17",
            .unit = "sccm",
            .n = 60,
            .rejectRate = 0.05,
            .kept = 57,
            .mean = 0.0025,
            .sigmaOverall = 0.0004,
            .sigmaMovingRange = 0.0003,
            .limits = ControlLimits{0.0025, 0.0003, 0.0016, 0.0034, 0.00034, 0.0011},
            .min = 0.0015,
            .max = 0.0041,
            .suggestedSetPoint = 0.0037,
            .ruleBreaks = 3,
            .tolerance = ToleranceLimits{0.001, 0.005},
            .observedPpm = 0,
            .capability = capability};
}

// An upper tolerance limit only, and `n` tests without a spread.
PartStatistics Few(size_t n) {
    return {.pn = "FEW",
            .n = n,
            .kept = n,
            .mean = 0.002,
            .min = 0.001,
            .max = 0.003,
            .tolerance = ToleranceLimits{{}, 0.005},
            .observedPpm = 0};
}

// Capability needs 30 tests: one short, then 30 without a spread.
TEST(StatisticsCells, TheTableShowsEachStatisticAsBefore) {
    const std::vector<std::pair<PartStatistics, QString>> cases{
        {Capable(),
         "PN17|sccm|60|5 %|57|0.001|0.005|2.5|1.6667|1.875|1.25|1.35 to 1.99|0 / 87.5|0.0025|"
         "0.0004|0.0003|0.0016|0.0025|0.0034|0.00034|0.0011|0.0015|0.0041|0.0037|3"},
        {Few(29),
         "FEW|-|29|0 %|29|-|0.005|-|not enough tests (n < 30)|-|not enough tests (n < 30)|-|"
         "0 / -|0.002|-|-|-|-|-|-|-|0.001|0.003|-|0"},
        {Few(30),
         "FEW|-|30|0 %|30|-|0.005|-|no spread|-|no spread|-|0 / -|0.002|-|-|-|-|-|-|-|0.001|"
         "0.003|-|0"},
        {PartStatistics{.pn = "NONE"}, "NONE|-|0|-|0|-|-|-|-|-|-|-|-|-|-|-|-|-|-|-|-|-|-|-|0"}};
    for (const auto& [part, cells] : cases)
        EXPECT_EQ(StatisticsCells(part).join("|"), cells);
    EXPECT_EQ(StatisticsHeaders().join("|"),
              "PN|Unit|n|Reject rate|In limits|LSL|USL|Cp|Cpk|Pp|Ppk|Cpk 95%|ppm out (obs. / exp.)|"
              "Mean|σ overall|σ (MR)|LCL|CL|UCL|MR-bar|UCL (MR)|Min|Max|Mean + 3σ|Rule breaks");
}

// Lines of "|"-split cells as the reader prints them, 'text and B'bold text turned into its hex.
std::string Rows(const std::string& lines) {
    std::string rows;
    for (size_t at = 0, end; at < lines.size(); at = end + 1) {
        end = lines.find_first_of("|\n", at);
        std::string cell = lines.substr(at, end - at);
        if (size_t quote = cell.find('\''); quote <= 1)
            cell = cell.substr(0, quote) + TextCell(cell.substr(quote + 1));
        rows += cell + (lines[end] == '|' ? "\t" : "\n");
    }
    return rows;
}

TEST(StatisticsWorkbook, HoldsNumbersWhereTheTableShowsThemAndTheTestsWithTheirDates) {
    std::vector<ChartDataRow> points{
        // 2026-12-08 06:30 on the instrument's clock, which counts from 2004
        {"PN17", "0042", 723'796'200, 0.0012, true, "rule 1", ""},
        {"PN17", "43", 723'796'260, std::nullopt, false, "", "no leak"}};
    QTemporaryDir folder;
    ASSERT_TRUE(WriteStatisticsWorkbook(folder.filePath("s.xlsx"), {Capable(), Few(29)}, points));
    // The column widths, after the frozen pane's cell, are left out.
    std::string dump = std::regex_replace(ReadTypedBack(folder.filePath("s.xlsx").toStdString()),
                                          std::regex("(\tA2)\t.*"), "$1");
    std::string header;
    for (const std::string& name : StatisticsSheetHeaders())
        header += (header.empty() ? "B'" : "|B'") + name;
    EXPECT_EQ(dump,
              Rows("sheet|Statistics|A2\n" + header +
                   "\n'PN17|'sccm|n60.0|n5.0|n57.0|n0.001|n0.005|n2.5|n1.6667|n1.875|n1.25|n1.3456|"
                   "n1.98765|n0.0|n87.5|n0.0025|n0.0004|n0.0003|n0.0016|n0.0025|n0.0034|n0.00034|"
                   "n0.0011|n0.0015|n0.0041|n0.0037|n3.0\n"
                   "'FEW||n29.0|n0.0|n29.0||n0.005||'not enough tests (n < 30)||"
                   "'not enough tests (n < 30)|||n0.0||n0.002||||||||n0.001|n0.003||n0.0\n"
                   "sheet|Points|A2\n"
                   "B'PN|B'Seq#|B'Tested at|B'Leak (sccm)|B'Reject|B'Run-rule breaks|"
                   "B'Exclusion reason\n"
                   "'PN17|'0042|d2026-12-08 06:30:00 yyyy-mm-dd hh:mm:ss|n0.0012|'yes|'rule 1|\n"
                   "'PN17|'43|d2026-12-08 06:31:00 yyyy-mm-dd hh:mm:ss||'no||'no leak\n"));
}

}  // namespace
