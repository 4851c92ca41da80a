#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheets/sheet_rows.h"
#include "sheets/xls/biff_records.h"

namespace qm4250 {

// The workbook's shared strings (SST) as UTF-8, all in one string, each ending where ends_ says.
class SharedStringTable {
  public:
    // Far past what any sheet refers to, and what keeps the table well under 100 MiB.
    static constexpr size_t kMaxText = size_t{64} << 20;
    static constexpr size_t kMaxStrings = size_t{1} << 22;

    size_t size() const { return ends_.size(); }
    std::string_view at(size_t index) const {
        size_t start = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(text_).substr(start, ends_[index] - start);
    }

    // Reads the SST whose record body is `sst` and the CONTINUE records after it from `records`.
    SheetReadResult read(std::string_view sst, RecordReader& records);

  private:
    class Pieces;

    SheetReadResult readString(Pieces& pieces);
    SheetReadResult readCharacters(Pieces& pieces, size_t count, bool wide);
    // Makes room for `extra` more bytes of text, growing no further than the limit allows.
    void reserve(size_t extra);

    std::string text_;
    std::vector<uint32_t> ends_;
};

}  // namespace qm4250
