#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace qm4250 {

// Text as the archive keeps it, the same on either engine: U+0000, which PostgreSQL's text cannot
// hold (and its client library would cut a text at), as U+2400, the symbol for it; never null,
// as the text columns are NOT NULL.
QString KeptText(const QString& text);
std::vector<QString> KeptTexts(const std::vector<QString>& texts);

// A test's received bytes as kept: each byte the Latin-1 character it is, the byte 0 as U+2400.
QString KeptTextOfBytes(std::string_view bytes);
// The same text as UTF-8, appended to `out` (cleared first).
void KeptUtf8OfBytes(std::string_view bytes, std::string& out);
// And back to the received bytes.
std::string ReceivedBytes(const QString& kept);

}  // namespace qm4250
