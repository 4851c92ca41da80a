#pragma once

// A saved sheet read back whole into the history it holds, as the round trips compare it.

#include <string>
#include <vector>

#include "archive/sheet_import.h"
#include "archive/sheet_reader.h"

namespace qm4250 {

struct ReadBack {
    SheetReadResult error;
    bool isHistorySheet = false;
    History history;
    uint64_t testsRead = 0;
    std::vector<std::string> skipped;
};

inline ReadBack ReadHistoryFile(const std::string& path) {
    SheetImport sheet;
    ReadBack back;
    back.error = ReadSheetRows(path, sheet);
    back.isHistorySheet = sheet.isHistorySheet();
    back.history.identification = sheet.identification();
    back.history.records = sheet.takeRecords(true);
    back.testsRead = sheet.testsRead();
    back.skipped = sheet.skipReasons();
    return back;
}

}  // namespace qm4250
