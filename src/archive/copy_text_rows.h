#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm4250 {

// Rows in the text format of PostgreSQL's COPY: fields parted by tabs, rows ended by newlines, \N
// for no value; in a text, a backslash doubled, and a tab, newline or carriage return written as
// \t, \n or \r, so that none is taken for more than a character.
class CopyTextRows {
  public:
    // A text, given as the archive keeps it (UTF-8 without the byte 0).
    void text(std::string_view utf8);
    void integer(int64_t value);
    // The shortest digits that read back as the same double; \N for none.
    void real(std::optional<double> value);
    void endRow();

    const std::string& bytes() const { return bytes_; }
    void clear() { bytes_.clear(); }

  private:
    void startField();

    std::string bytes_;
    bool rowStarted_ = false;
};

}  // namespace qm4250
