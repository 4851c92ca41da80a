#pragma once

#include <string>
#include <vector>

// One history frame the simulator put on the line, and the reply byte the program sent for it:
// ACK, CAN, or '\0' when none came.
struct SentFrame {
    std::string body;
    char reply;
};

// The history frames of the simulator's --log file in the order sent, each paired with its
// reply. The line is stop-and-wait, so the n-th reply answers the n-th frame; noise and stray
// ETX between frames are skipped the way the instrument's own framing marks them. A reply that
// answers no frame is listed as a frame with an empty body.
std::vector<SentFrame> HistoryExchange(const std::string& logPath);

// The test record number a replayed body ("1" + Seq# + ",...") carries; -1 for any other body.
int SequenceNumber(const std::string& body);
