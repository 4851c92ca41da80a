#include "session/history_request.h"

#include "protocol/frame.h"
#include "session/handler_context.h"
#include "session/send_command.h"

void RequestHistory(HandlerContext& context) {
    WindowState& state = context.state;
    context.view.clearList();
    state.history.emplace();
    state.RecordIndex = -1;
    state.ReplyChar.assign(1, ACK);
    context.view.setStatusText("");
    state.RxBuffer.clear();

    if (!SelectPort(context.port, state.CommPortNumber)) {
        context.view.showMessage(kRequestPortFailure);
        return;
    }
    context.timer.stop();
    context.timer.start();
    if (!OpenIfClosed(context.port) || !context.port.write(kHistoryCommand)) {
        context.view.showMessage(kRequestPortFailure);
        return;
    }
    state.AwaitingReply = true;
    context.view.setButtonEnabled(Button::Save, false);
    context.view.setButtonEnabled(Button::SetMode, false);
    context.view.setButtonEnabled(Button::ReqMode, false);
}

void CancelHistory(WindowState& state) {
    state.ReplyChar.assign(1, CAN);
}
