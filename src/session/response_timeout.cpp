#include "session/response_timeout.h"

#include "session/handler_context.h"

void ResponseTimeout(HandlerContext& context) {
    bool unanswered = context.state.endExchange();
    context.timer.stop();
    context.port.close();
    context.listener.exchangeEnded(unanswered ? ExchangeEnd::NoResponse : ExchangeEnd::Answered);
}
