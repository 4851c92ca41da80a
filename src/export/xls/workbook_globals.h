#pragma once

#include <cstddef>
#include <string>

#include "export/xls/shared_strings.h"

namespace qm4250 {

// The workbook globals substream: one worksheet and the shared strings.
struct WorkbookGlobals {
    std::string bytes;
    // Where the worksheet's stream position goes, once it is known.
    size_t sheetOffsetField;
};

WorkbookGlobals BuildWorkbookGlobals(const SharedStrings& strings);

}  // namespace qm4250
