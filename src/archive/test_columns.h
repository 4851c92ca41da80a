#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm4250 {

// The columns of `tests` an insert fills, in the order it gives their values.
inline constexpr int kTestColumns = 15;
inline constexpr char kTestColumnNames[] =
    "instrument_id, seq, pn, cust_code, leak_text, leak, error_code, time_seconds, tested_at,"
    " relay_field, power_up, relay_gp, relay_bp, relay_ge, first_upload_id";

// How a test's received bytes are kept in the archive's text columns: each byte the Latin-1
// character it is, but the byte 0, which PostgreSQL's text cannot hold (and its client library
// would cut a text at), as U+2400, the symbol for it.
QString ArchiveText(std::string_view bytes);
// The same text as UTF-8, appended to `out` (cleared first).
void ArchiveTextUtf8(std::string_view bytes, std::string& out);
// And back to the received bytes.
std::string ReceivedBytes(const QString& archived);

// The leak as a number, where its text is a finite one.
std::optional<double> LeakNumber(std::string_view text);

}  // namespace qm4250
