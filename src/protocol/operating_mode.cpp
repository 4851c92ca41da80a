#include "protocol/operating_mode.h"

namespace qm4250 {

namespace {

struct ModeCode {
    char character;
    OperatingMode mode;
};

constexpr ModeCode kModeCodes[] = {
    {'0', OperatingMode::SetUp},
    {'1', OperatingMode::Calibrate},
    {'2', OperatingMode::Run},
    {'3', OperatingMode::Data},
};

}  // namespace

char ModeCharacter(std::optional<OperatingMode> mode) {
    for (const ModeCode& code : kModeCodes)
        if (mode == code.mode)
            return code.character;
    return '?';
}

ModeReply DecodeModeReply(std::string_view body) {
    ModeReply reply;
    if (body.size() >= 2)
        for (const ModeCode& code : kModeCodes)
            if (body[1] == code.character)
                reply.mode = code.mode;
    reply.testInProgress = body.size() >= 3 && body[2] == '1';
    return reply;
}

}  // namespace qm4250
