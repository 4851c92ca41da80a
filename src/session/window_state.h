#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/history.h"

// The state every handler shares. One set per window.
struct WindowState {
    // -1 after REQUEST, 0 after the identification record, k after the k-th test record.
    // 32-bit, so a history of more than 32,767 records is received and stored whole.
    int32_t RecordIndex = 0;
    // Received text that has not yet formed a whole frame.
    std::string RxBuffer;
    // Empty until the first REQUEST or CANCEL, then ACK or CAN.
    std::string ReplyChar;
    int CommPortNumber = 0;
    // None until the first REQUEST; then the identification and test records of the upload.
    std::optional<History> history;
    // True from a command frame's write until the next arrival of text or the next timeout.
    bool AwaitingReply = false;
};
