#include "session/history_request.h"

#include "protocol/frame.h"
#include "session/handler_context.h"
#include "session/send_command.h"

namespace qm4250 {

void RequestHistory(HandlerContext& context) {
    context.listener.commandStarted(Command::Request);
    context.state.startUpload();

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
    context.state.commandSent();
    context.listener.commandSent(Command::Request);
}

void CancelHistory(HandlerContext& context) {
    context.state.cancel();
}

}  // namespace qm4250
