#pragma once

#include <string_view>
#include <variant>

#include "protocol/history.h"

namespace qm4250 {

// A history frame that cannot be decoded: too few fields, or a time or relay field that is not
// a number in its range.
struct Unreadable {
    std::string frameText;  // as received, kept so that nothing received is lost
};

using DecodedFrame = std::variant<Identification, TestRecord, Unreadable>;

// Which a history frame is depends only on its place in the upload: the first is the
// identification, every later one a test record.
enum class HistoryFrameKind { Identification, TestRecord };

// Decodes one history frame's text (everything between STX and ETX, its kind character first,
// which is dropped whatever it is). The body is split at every ","; fields past those used are
// ignored.
DecodedFrame DecodeHistoryFrame(std::string_view frameText, HistoryFrameKind kind);

}  // namespace qm4250
