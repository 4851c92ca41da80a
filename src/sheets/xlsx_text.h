#pragma once

#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sheets/sheet_rows.h"
#include "sheets/xml_part.h"

namespace qm4250 {

// A whole number of at most seven digits, as every row number, string index and format id is.
std::optional<uint64_t> SmallNumber(QStringView text);

// The longest text a cell may hold (Excel's own limit is 32,767 characters); a row with a longer
// one is skipped as too long.
inline constexpr size_t kMaxCellBytes = size_t{1} << 20;

// The text of the element just started, up to its end: the characters of its <t> elements,
// phonetic runs (<rPh>) left out, as in <si> and <is>; or, with `anyText`, all of its characters,
// as in <v>. Past kMaxCellBytes `text` is emptied and `tooLong` set.
std::optional<SheetReadError> ReadElementText(XmlPart& xml, bool anyText, std::string& text,
                                              bool& tooLong);

// A text of an .xlsx with its escapes decoded: "_xHHHH_" is the UTF-16 code unit HHHH (a pair of
// them a character beyond the BMP; a lone surrogate U+FFFD), in one pass, left to right, so that
// "_x005F_" gives a "_" that starts no further escape.
std::string DecodeXlsxEscapes(std::string_view utf8);

}  // namespace qm4250
