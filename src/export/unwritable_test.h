#pragma once

#include <optional>
#include <string>

#include "protocol/history.h"

namespace qm4250 {

// A test a workbook cannot hold, and why.
struct UnwritableTest {
    enum class Reason {
        CellTooLong,  // a field longer than a worksheet cell holds (kMaxCellCharacters)
    };
    std::optional<std::string> serial;  // its instrument's, as received, when identified
    std::string seq;                    // as received
    std::string pn;                     // as received
    std::string field;                  // the field at fault, as the sheet's header names it
    Reason reason = Reason::CellTooLong;
};

// The first test of the history that a workbook (.xls or .xlsx) cannot hold.
std::optional<UnwritableTest> FirstUnwritableTest(const History& history);

}  // namespace qm4250
