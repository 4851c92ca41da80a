#pragma once

#include <optional>
#include <string_view>

namespace qm4250 {

// The instrument's four operating modes, each named on the line by one character.
enum class OperatingMode { SetUp, Calibrate, Run, Data };

// '0' SETUP, '1' CALIBRATE, '2' RUN, '3' DATA; '?' for no mode, which the instrument rejects.
char ModeCharacter(std::optional<OperatingMode> mode);

// What a mode reply body ("8", mode character, test flag) reports: the mode, when its character
// names one, and whether a test in progress kept the instrument from changing it.
struct ModeReply {
    std::optional<OperatingMode> mode;
    bool testInProgress = false;
};

ModeReply DecodeModeReply(std::string_view body);

}  // namespace qm4250
