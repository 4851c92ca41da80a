#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "options.h"

namespace sim {

// What the instrument has stored: the frame bodies it sends, in order, for one upload.
struct History {
    std::string identification;        // "1" + model code + serial number
    std::vector<std::string> records;  // test record bodies, record 1 first
};

struct LoadedHistory {
    History history;
    std::string error;  // empty when the history could be built
};

std::string IdentificationBody(char model, std::string_view serial);

// Each line of the file is one body; a body cannot hold STX or ETX, so such a line is refused.
LoadedHistory LoadReplayFile(const std::string& path);

// The history the options ask for: replayed or generated, then garbled where asked. Generated
// tests at a fixed spacing that would leave the instrument's clock are refused.
LoadedHistory BuildHistory(const Options& options);

}  // namespace sim
