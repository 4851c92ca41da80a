// The names the archive window's save dialogs suggest, and what they make of the name typed.
#include "trend/export_file_names.h"

#include <gtest/gtest.h>

using namespace qm4250;

TEST(ExportFileNames, ExtensionAddedWhereNoneOfTheOfferedIsTypedAndTheSuggestion) {
    const QStringList offered{"Excel (*.xls)", "Excel Workbook (*.xlsx)", "CSV (*.csv)"};
    const std::tuple<const char*, int, const char*> typedAndSaved[] = {
        {"/q/stats-A12", 1, "/q/stats-A12.xlsx"}, {"/q.v1/stats", 0, "/q.v1/stats.xls"},
        {"/q/stats.XLSX", 1, "/q/stats.XLSX"},    {"/q/sel.csv", 0, "/q/sel.csv"},
        {"/q/report.v2", 1, "/q/report.v2.xlsx"}, {"/q/report.", 2, "/q/report.csv"}};
    for (auto [typed, chosen, saved] : typedAndSaved)
        EXPECT_EQ(WithExtension(typed, offered[chosen], offered), saved) << typed;
    const std::tuple<const char*, const char*, const char*> suggestions[] = {
        {"report", "A12", "report-A12-2026-12-09.pdf"},
        {"chart", "", "chart-2026-12-09.pdf"},
        {"selection", "P/1 *x", "selection-P_1__x-2026-12-09.pdf"},
        {"statistics", "Ölring-2.b", "statistics-Ölring-2.b-2026-12-09.pdf"}};
    for (auto [what, pn, suggested] : suggestions)
        EXPECT_EQ(SuggestedFileName(what, QString::fromUtf8(pn), QDate(2026, 12, 9), "pdf"),
                  QString::fromUtf8(suggested));
}
