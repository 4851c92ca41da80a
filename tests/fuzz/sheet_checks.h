#pragma once

// What the sheet readers' fuzz targets share: a file in memory that a reader sees as a regular
// file on disk, and the checks every row and every error must pass.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/utf8.h"
#include "fuzz_target.h"
#include "sheets/sheet_rows.h"

namespace qm4250 {

class MemoryFile {
  public:
    explicit MemoryFile(const char* name) : fd_(memfd_create(name, MFD_CLOEXEC)) {
        FUZZ_CHECK(fd_ >= 0);
    }
    // The file holds bytes, to be read from its start: the reading of the one before left the
    // offset at its end.
    void write(std::string_view bytes) {
        FUZZ_CHECK(ftruncate(fd_, 0) == 0);
        FUZZ_CHECK(pwrite(fd_, bytes.data(), bytes.size(), 0) ==
                   static_cast<ssize_t>(bytes.size()));
        rewind();
    }
    void rewind() { FUZZ_CHECK(lseek(fd_, 0, SEEK_SET) == 0); }
    int fd() const { return fd_; }
    // The file by a name, for writers that open files by name.
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

  private:
    int fd_;
};

// An error a terminal can show as it is: short printable ASCII, never bytes of the file.
inline bool IsPlainText(std::string_view text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return !text.empty() && text.size() < 300;
}

// Rows within the sheet's limits, each in a sheet announced before it, sheet names and cells
// valid UTF-8 no longer than a name (31 UTF-16 code units) or a cell may be.
class CheckedRows : public SheetRows {
  public:
    CheckedRows(uint64_t lastRow, size_t longestCell)
        : lastRow_(lastRow), longestCell_(longestCell) {}

    bool sheet(std::string_view name) override {
        FUZZ_CHECK(name.size() <= 31 * 3 && IsUtf8(name));
        inSheet_ = true;
        return true;
    }
    bool row(uint64_t number, const SheetRow& cells) override {
        FUZZ_CHECK(inSheet_ && number >= 1 && number <= lastRow_);
        for (const std::string& cell : cells)
            FUZZ_CHECK(cell.size() <= longestCell_ && IsUtf8(cell));
        return true;
    }
    bool rowTooLong(uint64_t number) override {
        FUZZ_CHECK(inSheet_ && number >= 1 && number <= lastRow_);
        return true;
    }

  private:
    bool inSheet_ = false;
    uint64_t lastRow_;
    size_t longestCell_;
};

inline void CheckError(const SheetReadResult& result) {
    if (result)
        FUZZ_CHECK((result->kind == SheetReadError::Kind::Damaged ||
                    result->kind == SheetReadError::Kind::Unsupported ||
                    result->kind == SheetReadError::Kind::TooLarge) &&
                   IsPlainText(result->detail));
}

}  // namespace qm4250
