#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    // Empty until the first REQUEST ("not allocated"); then rows 0 to RecordsBound.
    std::vector<std::string> Records;
    int32_t RecordsBound = 0;
    // History frames of this upload that could not be decoded: they show nothing and leave
    // their row empty, so the operator is told how many there were.
    int32_t UnreadableRecords = 0;
    // True from a command frame's write until the next arrival of text or the next timeout.
    bool AwaitingReply = false;
};
