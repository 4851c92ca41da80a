#include "session/history_request.h"

#include "protocol/frame.h"
#include "session/handler_context.h"
#include "session/send_command.h"

namespace qm4250 {

// The last upload is discarded only once the command is on the line: a port that fails leaves
// the list, the history and the counter as they were, and SAVE still saves them.
void RequestHistory(HandlerContext& context) {
    if (!SelectPort(context.port, context.state.portNumber())) {
        context.listener.portFailed(Command::Request, context.port.lastError());
        return;
    }
    context.timer.stop();
    context.timer.start();
    if (!OpenIfClosed(context.port) || !context.port.write(kHistoryCommand)) {
        context.listener.portFailed(Command::Request, context.port.lastError());
        return;
    }
    context.listener.commandStarted(Command::Request);
    context.state.startUpload();
    context.state.commandSent();
    context.listener.commandSent(Command::Request);
}

void CancelHistory(HandlerContext& context) {
    context.state.cancel();
}

}  // namespace qm4250
