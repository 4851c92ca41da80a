#include "session/response_timeout.h"

#include "session/handler_context.h"

void ResponseTimeout(HandlerContext& context) {
    if (context.state.AwaitingReply) {
        context.view.setStatusText(kNoResponse);
        context.state.AwaitingReply = false;
    }
    context.timer.stop();
    context.port.close();
    context.view.setButtonEnabled(Button::Save, true);
    context.view.setButtonEnabled(Button::SetMode, true);
    context.view.setButtonEnabled(Button::ReqMode, true);
}
