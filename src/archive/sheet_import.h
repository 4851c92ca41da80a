#pragma once

#include <string>
#include <vector>

#include "export/cell_table.h"
#include "protocol/history.h"

namespace qm4250 {

// A sheet this program saved, read back into the history it was saved from.
struct ImportedSheet {
    History history;
    int testsRead = 0;
    std::vector<std::string> skipped;  // "row 12: the time/date is not one the instrument writes"
};

// Row 1 is the header, row 2 the identification ("SN = …", "Model: …") where there is one;
// every later row is a test record, or the power-up marker of the record above it. The raw seconds come back from the
// time/date text, its two-digit year read as 2004 to 2103; the relay field from the On/Off cells
// and the marker. A row that cannot be read is skipped and said why; the others are kept.
ImportedSheet HistoryFromSheet(const CellTable& sheet);

}  // namespace qm4250
