#include "session/response_timeout.h"

#include "session/handler_context.h"

namespace qm4250 {

void ResponseTimeout(HandlerContext& context) {
    ExchangeEnd end = context.state.endExchange();
    context.timer.stop();
    context.port.close();
    context.listener.exchangeEnded(end);
    const ExchangeState& state = context.state;
    if (state.uploading() && state.recordIndex() >= 0 && state.history())
        context.listener.uploadEnded(*state.history(), state.recordIndex() + 1);
}

}  // namespace qm4250
