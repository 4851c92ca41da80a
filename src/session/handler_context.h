#pragma once

#include "session/exchange_state.h"
#include "session/operator_input.h"
#include "session/response_timer.h"
#include "session/serial_port.h"
#include "session/session_listener.h"

namespace qm4250 {

// What every handler works on: the shared state, the line, the response timer, whom it reports
// to and whom it asks.
struct HandlerContext {
    ExchangeState& state;
    SerialPort& port;
    ResponseTimer& timer;
    SessionListener& listener;
    OperatorInput& input;
};

}  // namespace qm4250
