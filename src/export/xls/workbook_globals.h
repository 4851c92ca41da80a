#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "export/xls/shared_strings.h"

namespace qm4250 {

// The workbook globals substream: the worksheets' names and the shared strings.
struct WorkbookGlobals {
    std::string bytes;
    // Where each worksheet's stream position goes, once it is known.
    std::vector<size_t> sheetOffsetFields;
};

// sheetNames are UTF-8, at most 31 characters each.
WorkbookGlobals BuildWorkbookGlobals(const SharedStrings& strings,
                                     const std::vector<std::string>& sheetNames);

}  // namespace qm4250
