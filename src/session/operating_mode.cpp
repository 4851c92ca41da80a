#include "session/operating_mode.h"

#include <string>

#include "protocol/frame.h"
#include "session/handler_context.h"
#include "session/send_command.h"

namespace {

struct OperatingMode {
    char character;
    const char* text;
    ModeOption option;
};

constexpr OperatingMode kModes[] = {
    {'0', "SETUP", ModeOption::SetUp},
    {'1', "CALIBRATE", ModeOption::Calibrate},
    {'2', "RUN", ModeOption::Run},
    {'3', "DATA", ModeOption::Data},
};

char ModeCharacter(ModeOption option) {
    for (const OperatingMode& mode : kModes)
        if (mode.option == option)
            return mode.character;
    return '?';
}

// Both mode commands: the same steps, each with its own frame.
void SendModeCommand(HandlerContext& context, std::string_view frame) {
    context.state.RxBuffer.clear();
    context.view.setStatusText("");
    if (!SendCommand(context.port, context.state.CommPortNumber, frame)) {
        context.view.showMessage(kModePortFailure);
        return;
    }
    context.timer.start();
    context.state.AwaitingReply = true;
}

}  // namespace

void GetMode(HandlerContext& context) {
    SendModeCommand(context, kGetModeCommand);
}

void ChangeMode(HandlerContext& context) {
    char mode = ModeCharacter(context.view.selectedModeOption());
    SendModeCommand(context, ChangeModeCommand(mode));
}

void ParseModeReply(std::string_view body, View& view) {
    if (body.size() >= 2) {
        for (const OperatingMode& mode : kModes) {
            if (body[1] != mode.character)
                continue;
            view.setCurrentModeText(mode.text);
            view.selectModeOption(mode.option);
        }
    }
    if (body.size() >= 3 && body[2] == '1')
        view.showMessage(kTestInProgress);
}
