#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "archive/sheet_rows.h"

namespace qm4250 {

// The limits that keep a hostile zip from running away: a part may inflate to at most 512 MiB,
// and to at most 100 times its compressed size (small parts to 1 MiB), as its header declares
// it; and it may not hold more than its header declares.
inline constexpr uint64_t kMaxPartBytes = uint64_t{512} << 20;
inline constexpr uint64_t kMaxInflation = 100;
inline constexpr uint64_t kSmallPartBytes = uint64_t{1} << 20;

// The parts of a zip archive (an .xlsx) in an open regular file, each inflated piece by piece.
class ZipParts {
  public:
    explicit ZipParts(int fd);
    ~ZipParts();
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;

    // Why the file is not a zip archive this reader takes.
    const SheetReadResult& error() const { return error_; }

    // Opens the part with this name to be read: false when the archive has none.
    std::variant<bool, SheetReadError> open(const char* name);
    // The next piece of the open part, empty at its end (where its CRC is checked).
    std::variant<std::string_view, SheetReadError> next();

  private:
    void* zip_ = nullptr;
    std::string name_;
    uint64_t declared_ = 0;
    uint64_t inflated_ = 0;
    bool open_ = false;
    std::string piece_;
    SheetReadResult error_;
};

}  // namespace qm4250
