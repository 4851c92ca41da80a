// The statistics as the table shows them, and as a workbook holds them: the same columns, with
// numbers as numbers; the chart's tests with their dates as dates.
#include "trend/statistics_workbook.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "export/typed_read_back.h"
#include "trend/statistics_cells.h"

using namespace qm4250;

namespace {

// Every statistic set, each a number the reader gives back as written.
PartStatistics Capable() {
    PartStatistics p;
    p.pn = "PN17";
    p.n = 60;
    p.rejectRate = 0.05;
    p.mean = 0.0025;
    p.sigmaOverall = 0.0004;
    p.sigmaMovingRange = 0.0003;
    p.limits = ControlLimits{0.0025, 0.0003, 0.0016, 0.0034, 0.00034, 0.0011};
    p.min = 0.0015;
    p.max = 0.0041;
    p.suggestedSetPoint = 0.0037;
    p.ruleBreaks = 3;
    p.tolerance = ToleranceLimits{0.001, 0.005};
    p.capability = Capability{};
    p.capability->cp = 2.5;
    p.capability->pp = 1.875;
    p.capability->cpk = 1.6667;
    p.capability->ppk = 1.25;
    p.capability->cpkInterval = {1.3456, 1.98765};
    p.capability->expectedPpm = 87.5;
    return p;
}

// An upper tolerance limit only, and `n` tests without a spread.
PartStatistics Few(size_t n) {
    PartStatistics p;
    p.pn = "FEW";
    p.n = n;
    p.mean = 0.002;
    p.min = 0.001;
    p.max = 0.003;
    p.tolerance = ToleranceLimits{std::nullopt, 0.005};
    return p;
}

PartStatistics NoLeaks() {
    PartStatistics p;
    p.pn = "NONE";
    return p;
}

TEST(StatisticsCells, TheTableShowsEachStatisticAsBefore) {
    const std::vector<std::pair<PartStatistics, QString>> cases{
        {Capable(),
         "PN17|60|5 %|0.0025|0.0004|0.0003|0.0016|0.0025|0.0034|0.00034|0.0011|0.0015|"
         "0.0041|0.0037|3|0.001|0.005|2.5|1.6667|1.875|1.25|1.35 to 1.99|0 / 87.5"},
        {Few(12),
         "FEW|12|0 %|0.002|-|-|-|-|-|-|-|0.001|0.003|-|0|-|0.005|-|not enough tests (n < 30)|"
         "-|not enough tests (n < 30)|-|-"},
        {Few(40),
         "FEW|40|0 %|0.002|-|-|-|-|-|-|-|0.001|0.003|-|0|-|0.005|-|no spread|-|no spread|-|-"},
        {NoLeaks(), "NONE|0|-|-|-|-|-|-|-|-|-|-|-|-|0|-|-|-|-|-|-|-|-"}};
    for (const auto& [part, cells] : cases)
        EXPECT_EQ(StatisticsCells(part).join("|"), cells);
    EXPECT_EQ(StatisticsHeaders().join("|"),
              "PN|n|Reject rate|Mean|σ overall|σ (MR)|LCL|CL|UCL|MR-bar|UCL (MR)|Min|Max|Mean + 3σ|"
              "Rule breaks|LSL|USL|Cp|Cpk|Pp|Ppk|Cpk 95%|ppm out (obs. / exp.)");
}

// A row as the reader prints it, from cells separated by "|": 'text, B'bold text, or the
// reader's own "n…", "d…" or "" for numbers, dates and empty cells.
std::string Row(const QString& cells) {
    std::string row;
    for (const QString& cell : cells.split("|")) {
        std::string text = cell.toStdString();
        if (cell.startsWith("'") || cell.startsWith("B'"))
            text = (cell.startsWith("B") ? "B" : "") + TextCell(text.substr(text.find('\'') + 1));
        row += (row.empty() ? "" : "\t") + text;
    }
    return row + "\n";
}

TEST(StatisticsWorkbook, HoldsNumbersWhereTheTableShowsThemAndTheTestsWithTheirDates) {
    std::vector<ChartDataRow> points{
        // 2026-12-08 06:30 on the instrument's clock, which counts from 2004
        {"PN17", "0042", 723'796'200, 0.0012, true, "beyond a limit", ""},
        {"PN17", "43", 723'796'260, std::nullopt, false, "", "leak not a number"}};
    QTemporaryDir folder;
    QString path = folder.filePath("statistics.xlsx");
    ASSERT_TRUE(WriteStatisticsWorkbook(path, {Capable(), Few(12), NoLeaks()}, points));
    std::string dump = ReadTypedBack(path.toStdString());

    QStringList header;
    for (const std::string& name : StatisticsSheetHeaders())
        header << "B'" + QString::fromStdString(name);
    const QString date = " yyyy-mm-dd hh:mm:ss";
    std::string expected =
        Row(header.join("|")) +
        Row("'PN17|n60.0|n5.0|n0.0025|n0.0004|n0.0003|n0.0016|n0.0025|n0.0034|n0.00034|n0.0011|"
            "n0.0015|n0.0041|n0.0037|n3.0|n0.001|n0.005|n2.5|n1.6667|n1.875|n1.25|n1.3456|"
            "n1.98765|n0.0|n87.5") +
        Row("'FEW|n12.0|n0.0|n0.002||||||||n0.001|n0.003||n0.0||n0.005||'not enough tests "
            "(n < 30)||'not enough tests (n < 30)||||") +
        Row("'NONE|n0.0|||||||||||||n0.0||||||||||") +
        Row("B'PN|B'Seq#|B'Tested at|B'Leak|B'Reject|B'Run-rule breaks|B'Exclusion reason") +
        Row("'PN17|'0042|d2026-12-08 06:30:00" + date + "|n0.0012|'yes|'beyond a limit|") +
        Row("'PN17|'43|d2026-12-08 06:31:00" + date + "||'no||'leak not a number");
    // Each sheet's first line names it and its frozen pane; the column widths are not checked.
    std::string rows;
    std::vector<std::string> sheets;
    for (size_t at = 0, end; at < dump.size(); at = end + 1) {
        end = dump.find('\n', at);
        std::string line = dump.substr(at, end - at + 1);
        if (line.starts_with("sheet\t"))
            sheets.push_back(line.substr(0, line.find("\t", line.find("\t", 6) + 1)));
        else
            rows += line;
    }
    EXPECT_EQ(sheets, (std::vector<std::string>{"sheet\tStatistics\tA2", "sheet\tPoints\tA2"}));
    EXPECT_EQ(rows, expected);
}

}  // namespace
