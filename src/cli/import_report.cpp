#include "cli/import_report.h"

#include <QLocale>

#include "cli/escaped_text.h"

namespace qm4250 {

namespace {

// 4,981: counts in a summary are read at a glance.
std::string Count(uint64_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n)).toStdString();
}

std::string ReasonText(const SkippedRow& skipped) {
    std::string cell = "\"" + ShownCell(skipped.cell) + "\"";
    switch (skipped.reason) {
        case SkipReason::TimeDateUnreadable:
            return "the time/date " + cell + " is not one the instrument writes";
        case SkipReason::OutsideClock:
            return "the time/date " + cell +
                   " is outside the instrument's clock (2004-01-01 to 2072-01-19)";
        case SkipReason::NotWholeSecond:
            return "the time/date " + cell + " is not a whole second";
        case SkipReason::RelayNotOnOff:
            return std::string("relay cell ") + static_cast<char>('A' + skipped.column) + " " +
                   cell + " is neither On nor Off";
        case SkipReason::ErrorNotCode:
            return "the error cell " + cell + " is neither empty nor *code";
        case SkipReason::CellTooLong:
            return std::string("cell ") + static_cast<char>('A' + skipped.column) + " " + cell +
                   " is longer than a worksheet cell holds (32,767 characters)";
        case SkipReason::TooLong:
            break;
    }
    return "longer than 1 MiB";
}

}  // namespace

std::string SkippedRowText(const SkippedRow& skipped) {
    std::string where =
        skipped.sheet.empty() ? std::string() : "sheet \"" + ShownCell(skipped.sheet) + "\" ";
    return where + "row " + std::to_string(skipped.row) + ": " + ReasonText(skipped);
}

std::vector<std::string> ImportReport(const std::string& file, const SheetArchiveResult& imported) {
    std::string summary = EscapedText(file) + ": " + Count(imported.testsRead) + " tests read, " +
                          Count(static_cast<uint64_t>(imported.newTests)) + " new, " +
                          Count(imported.rowsSkipped) + " rows skipped";
    if (imported.rowsInWindows1252 > 0)
        summary += ", " + Count(imported.rowsInWindows1252) + " rows read as Windows-1252";
    std::vector<std::string> lines{summary};
    for (const std::string& sheet : imported.sheetsPassedOver)
        lines.push_back("  sheet \"" + ShownCell(sheet) + "\" passed over: no SEQ# header");
    for (const SkippedRow& skipped : imported.skippedRows)
        lines.push_back("  " + SkippedRowText(skipped));
    if (imported.rowsSkipped > imported.skippedRows.size())
        lines.push_back("  … and " + Count(imported.rowsSkipped - imported.skippedRows.size()) +
                        " more rows skipped" +
                        (imported.othersForTheSameReasons ? " for the same reasons" : ""));
    return lines;
}

}  // namespace qm4250
