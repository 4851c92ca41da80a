#pragma once

#include <string>
#include <string_view>

#include "protocol/history.h"

namespace qm4250 {

inline constexpr std::string_view kPowerUpLine = "QM4250 Power UP";

// "SN = 42  Model: Norvik".
std::string IdentificationLine(const Identification& identification);

// The relay columns' heading (Label3) for the instrument's model.
std::string_view RelayCaption(const Identification& identification);

// A test record as one fixed-width line of the list: Seq# 6, PN 4 and Cust Code 10 left-aligned,
// Leak 8, error 4 and time/date 20 right-aligned, three blanks, then the three relays' On/Off.
// A value wider than its column stays whole and moves the rest of the line on.
std::string ListLine(const TestRecord& record);

}  // namespace qm4250
