#include "session/response_timeout.h"

#include "session/handler_context.h"

namespace qm4250 {

void ResponseTimeout(HandlerContext& context) {
    bool unanswered = context.state.endExchange();
    context.timer.stop();
    context.port.close();
    context.listener.exchangeEnded(unanswered ? ExchangeEnd::NoResponse : ExchangeEnd::Answered);
}

}  // namespace qm4250
