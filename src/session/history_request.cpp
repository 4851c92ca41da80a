#include "session/history_request.h"

#include "protocol/frame.h"
#include "session/handler_context.h"
#include "session/send_command.h"

namespace qm4250 {

// The last upload is discarded only once the command is on the line: a port that fails leaves
// the list, the history and the counter as they were, and SAVE still saves them. The response
// timer starts only then too: run for a command never sent, its end would end the last upload
// again, and archive it a second time.
void RequestHistory(HandlerContext& context) {
    if (PortResult sent = SendCommand(context.port, context.state.portNumber(), kHistoryCommand);
        !sent) {
        context.listener.portFailed(Command::Request, sent.error());
        if (context.port.isOpen())
            context.port.close();
        return;
    }
    context.timer.stop();
    context.timer.start();
    context.listener.commandStarted(Command::Request);
    context.state.startUpload();
    context.state.commandSent();
    context.listener.commandSent(Command::Request);
}

void CancelHistory(HandlerContext& context) {
    context.state.cancel();
}

}  // namespace qm4250
