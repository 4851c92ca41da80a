#pragma once

#include <string>
#include <string_view>

namespace qm4250 {

// BIFF8 text as UTF-8. Characters come one byte each (compressed: U+0000 to U+00FF) or as UTF-16LE
// code units, and one string may switch between the two where it continues in another record,
// even between the halves of a surrogate pair. An unpaired surrogate becomes U+FFFD; U+0000 is
// kept as a byte 0.
class TextDecoder {
  public:
    void appendCompressed(std::string& utf8, std::string_view bytes);
    // `bytes` holds whole code units.
    void appendWide(std::string& utf8, std::string_view bytes);
    // Ends the string: a high surrogate still waiting for its pair becomes U+FFFD.
    void finish(std::string& utf8);

  private:
    char16_t pendingHigh_ = 0;  // 0 when none is waiting
};

}  // namespace qm4250
