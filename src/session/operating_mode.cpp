#include "session/operating_mode.h"

#include <string>

#include "protocol/frame.h"
#include "protocol/operating_mode.h"
#include "session/handler_context.h"
#include "session/send_command.h"

namespace qm4250 {

namespace {

// Both mode commands: the same steps, each with its own frame.
void SendModeCommand(HandlerContext& context, Command command, std::string_view frame) {
    context.state.startModeExchange();
    context.listener.commandStarted(command);
    if (PortResult sent = SendCommand(context.port, context.state.portNumber(), frame); !sent) {
        context.listener.portFailed(command, sent.error());
        return;
    }
    context.timer.start();
    context.state.commandSent();
    context.listener.commandSent(command);
}

}  // namespace

void GetMode(HandlerContext& context) {
    SendModeCommand(context, Command::GetMode, kGetModeCommand);
}

void ChangeMode(HandlerContext& context) {
    char mode = ModeCharacter(context.input.selectedMode());
    SendModeCommand(context, Command::ChangeMode, ChangeModeCommand(mode));
}

void ParseModeReply(std::string_view body, HandlerContext& context) {
    ModeReply reply = DecodeModeReply(body);
    if (reply.mode)
        context.listener.modeReported(*reply.mode);
    if (reply.testInProgress)
        context.listener.testInProgress();
}

}  // namespace qm4250
