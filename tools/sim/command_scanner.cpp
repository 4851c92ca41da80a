#include "command_scanner.h"

#include "control_bytes.h"

namespace sim {

std::optional<ScanEvent> CommandScanner::Push(char byte) {
    if (byte == kStx) {
        inFrame_ = true;
        body_.clear();
        return std::nullopt;
    }
    if (!inFrame_)
        return LooseByte{byte};
    if (byte == kEtx) {
        inFrame_ = false;
        return FramedBody{std::move(body_)};
    }
    body_ += byte;
    if (body_.size() > kLongestBody)
        Reset();
    return std::nullopt;
}

void CommandScanner::Reset() {
    inFrame_ = false;
    body_.clear();
}

}  // namespace sim
