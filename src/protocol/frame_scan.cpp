#include "protocol/frame_scan.h"

#include "protocol/frame.h"

namespace qm4250 {

namespace {

// Past the limit, only a frame that may still be completing is worth keeping: the text from the
// last STX on, unless that alone is past the limit too.
void Bound(std::string& rxBuffer) {
    if (rxBuffer.size() <= kRxBufferLimit)
        return;
    std::size_t lastStx = rxBuffer.rfind(STX);
    if (lastStx == std::string::npos || rxBuffer.size() - lastStx > kRxBufferLimit)
        rxBuffer.clear();
    else
        rxBuffer.erase(0, lastStx);
}

}  // namespace

std::optional<std::string> CutFrame(std::string& rxBuffer) {
    for (;;) {
        std::size_t stx = rxBuffer.find(STX);
        std::size_t etx = rxBuffer.find(ETX);
        if (stx == std::string::npos || etx == std::string::npos) {
            Bound(rxBuffer);
            return std::nullopt;
        }
        if (etx < stx) {
            rxBuffer.erase(0, etx + 1);
            continue;
        }
        std::string body = rxBuffer.substr(stx + 1, etx - stx - 1);
        rxBuffer.clear();
        return body;
    }
}

}  // namespace qm4250
