#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace qm4250 {

// Received text without a whole frame is kept for later reads only up to this size, so noise on
// the line can never grow memory without limit. A real frame is well under 100 bytes.
inline constexpr std::size_t kRxBufferLimit = 64 * 1024;

// Cuts the first whole frame out of rxBuffer and returns its body (the text between STX and ETX).
// A frame is cut at its first ETX; whatever followed that ETX is dropped with it, since the
// instrument sends one frame and then waits for the reply. An ETX that comes before the first STX
// is stray: the text up to and including it is dropped and the scan goes on, so a good frame
// behind it is still found. Without a whole frame, the text stays in rxBuffer (bounded by
// kRxBufferLimit) and nullopt is returned.
std::optional<std::string> CutFrame(std::string& rxBuffer);

}  // namespace qm4250
