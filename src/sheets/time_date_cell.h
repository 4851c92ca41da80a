#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

#include "sheets/history_row_parser.h"

namespace qm4250 {

// The raw seconds since 2004-01-01 that a time/date cell names: the instrument's own text
// ("Mar 04/21 10:11:12", its two-digit year read as 2004 to 2103), or a date as spreadsheets write
// one ("2021-03-04 10:11:12", or with a "T"). Only a whole second the instrument's clock can show,
// 0 to 2^31 - 1, is one; otherwise the reason the cell is not.
std::variant<int32_t, SkipReason> SecondsOfTimeDate(std::string_view cell);

}  // namespace qm4250
