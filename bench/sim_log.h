#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the simulator's --log says about an upload: each reply's turnaround and the traffic.
struct SimLogSummary {
    // Microseconds from the tx line holding a frame's ETX to the next rx line, per frame.
    std::vector<double> turnaroundsUs;
    // Bytes written by the simulator and read from the program.
    std::int64_t txBytes = 0;
    std::int64_t rxBytes = 0;
    // Times of the first and the last rx line: the upload command and the last reply.
    std::int64_t firstRxUs = -1;
    std::int64_t lastRxUs = -1;
};

// False when the file cannot be read.
bool ReadSimLog(const std::string& path, SimLogSummary& summary);
