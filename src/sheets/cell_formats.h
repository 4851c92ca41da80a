#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sheets/serial_date.h"

namespace qm4250 {

// A workbook's cell formats as far as a reader needs them: which show a number as a date or time,
// and the date system the numbers count in. A cell names its format by index; the format names a
// number format by id, built in or defined by the workbook (a definition takes the place of a
// built-in format of the same id).
class CellFormats {
  public:
    // Excel keeps at most 64,000 cell formats, and a few hundred number formats of the workbook's
    // own.
    static constexpr size_t kMaxCellFormats = 64'000;
    static constexpr size_t kMaxNumberFormats = 4'000;

    // Defines number format `id` by its code: false when kMaxNumberFormats are defined already.
    bool defineNumberFormat(uint32_t id, std::string_view code);
    // Appends the next cell format, which shows numbers in number format `id`: false when
    // kMaxCellFormats are there already.
    bool addCellFormat(uint32_t id);
    void useDateSystem(DateSystem system) { system_ = system; }

    // A number in a cell of format `index` as the date and time it shows (SerialDateText). None
    // when the format is no date or time format, or no format of the table: such a cell shows its
    // number, which the reader does not guess at.
    std::optional<std::string> dateText(uint64_t index, double value) const;

  private:
    std::vector<uint32_t> cellFormats_;
    std::unordered_map<uint32_t, bool> numberFormatIsDate_;
    DateSystem system_ = DateSystem::From1900;
};

}  // namespace qm4250
