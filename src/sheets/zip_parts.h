#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>

#include "sheets/sheet_rows.h"

namespace qm4250 {

// The limits that keep a hostile zip from running away: a part may inflate to at most 512 MiB,
// and to at most 100 times its compressed size (small parts to 1 MiB), as its header declares
// it; and it may not hold more than its header declares. The parts read, each time one is read,
// may inflate altogether to at most 100 times the file's size (or 64 MiB, for a small file), so
// that a workbook naming one part many times, or many small parts, is no bomb either.
inline constexpr uint64_t kMaxPartBytes = uint64_t{512} << 20;
inline constexpr uint64_t kMaxInflation = 100;
inline constexpr uint64_t kSmallPartBytes = uint64_t{1} << 20;
inline constexpr uint64_t kSmallFileInflation = uint64_t{64} << 20;
// No part this reader looks for has a longer name.
inline constexpr size_t kMaxPartNameBytes = 1024;

// The parts of a zip archive (an .xlsx) in an open regular file, each inflated piece by piece.
class ZipParts {
  public:
    explicit ZipParts(int fd);
    ~ZipParts();
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;

    // Why the file is not a zip archive this reader takes.
    const SheetReadResult& error() const { return error_; }

    // Opens the part with this name (ASCII letters in either case, as a package compares part
    // names) to be read: false when the archive has none.
    std::variant<bool, SheetReadError> open(const std::string& name);
    // Opens a part that must be there: Damaged when the archive has none.
    SheetReadResult openNamed(const std::string& name);
    // The name of the part opened last, as errors show it: printable ASCII, at most 100 bytes.
    const std::string& name() const { return name_; }
    // The next piece of the open part, empty at its end, where what it inflated to is checked
    // against the size and the CRC-32 the zip's directory declares for it.
    std::variant<std::string_view, SheetReadError> next();
    // Inflates what is left of the open part, only for that check: a part is whole or not read,
    // however early its XML ends.
    SheetReadResult readRest();

  private:
    // Where a part's entry is in the zip's central directory.
    struct Entry {
        uint64_t directoryOffset;
        uint64_t number;
    };

    SheetReadResult indexEntries();

    void* zip_ = nullptr;
    std::unordered_map<std::string, Entry> entries_;  // by name, ASCII letters in lower case
    uint64_t inflationLeft_ = 0;
    std::string name_;
    uint64_t declared_ = 0;
    uint64_t inflated_ = 0;
    bool open_ = false;
    std::string piece_;
    SheetReadResult error_;
};

}  // namespace qm4250
