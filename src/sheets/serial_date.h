#pragma once

#include <optional>
#include <string>

namespace qm4250 {

// Where a workbook counts its days from: the 1900 system, in which day 1 is 1900-01-01 and day 60
// the 1900-02-29 that Excel keeps from Lotus 1-2-3; or the 1904 system of old Mac workbooks, in
// which day 0 is 1904-01-01.
enum class DateSystem { From1900, From1904 };

// A date serial number (days, the time of day as a fraction of a day) as ISO text:
// "2024-03-04 10:20:30" when it is within 1 ms of a whole second, else rounded to the millisecond,
// "2024-03-04 10:20:30.678". A time without a date (below 1 in the 1900 system) falls on
// 1899-12-31, the day before day 1. None for a number Excel shows as no date: negative, past
// 9999-12-31, or not a number.
std::optional<std::string> SerialDateText(double serial, DateSystem system);

}  // namespace qm4250
