#pragma once

// A saved file read back whole into the histories it holds, as the round trips compare them.

#include <string>
#include <vector>

#include "sheets/history_row_parser.h"
#include "sheets/sheet_reader.h"

namespace qm4250 {

struct ReadBack {
    SheetReadResult error;
    bool isHistorySheet = false;
    std::vector<History> histories;  // one for each instrument, in the file's order
    History history;                 // the first of them, or none
    uint64_t testsRead = 0;
    std::vector<SkippedRow> skipped;
    uint64_t rowsSkipped = 0;
    std::vector<std::string> sheetsPassedOver;
    uint64_t rowsInWindows1252 = 0;
};

// The tests of each instrument, kept in memory.
class CollectedTests : public ImportedTests {
  public:
    bool instrument(const std::optional<Identification>& identification) override {
        histories.emplace_back();
        histories.back().identification = identification;
        return true;
    }
    bool test(TestRecord record) override {
        histories.back().records.push_back(std::move(record));
        return true;
    }

    std::vector<History> histories;
};

inline ReadBack ReadHistoryFile(const std::string& path) {
    CollectedTests tests;
    HistoryRowParser sheet(tests);
    ReadBack back;
    back.error = ReadSheetRows(path, sheet);
    sheet.finish();
    back.isHistorySheet = sheet.isHistorySheet();
    back.histories = std::move(tests.histories);
    if (!back.histories.empty())
        back.history = back.histories.front();
    back.testsRead = sheet.testsRead();
    back.skipped = sheet.skippedRows();
    back.rowsSkipped = sheet.rowsSkipped();
    back.sheetsPassedOver = sheet.sheetsPassedOver();
    back.rowsInWindows1252 = sheet.rowsInWindows1252();
    return back;
}

}  // namespace qm4250
