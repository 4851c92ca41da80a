#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sheets/sheet_rows.h"
#include "sheets/xml_part.h"

namespace qm4250 {

// The shared strings of an .xlsx, kept one after another in one buffer: at most 8,388,608 of
// them and 64 MiB of text, more than a sheet of 1,048,576 rows of tests needs.
class SharedStrings {
  public:
    static constexpr size_t kMaxCount = size_t{8} << 20;
    static constexpr size_t kMaxTextBytes = size_t{64} << 20;

    // Reads the shared strings part (<sst>).
    std::optional<SheetReadError> read(XmlPart& xml);

    size_t size() const { return ends_.size(); }
    // The string at `index`, or none when it is longer than a cell may be.
    std::optional<std::string_view> at(size_t index) const;

  private:
    std::optional<SheetReadError> add(const std::string& part, std::string_view text, bool tooLong);

    std::string text_;
    std::vector<uint32_t> ends_;
    std::vector<bool> tooLong_;
};

}  // namespace qm4250
