#pragma once

#include <string>

#include "session/session_events.h"

namespace qm4250 {

struct HandlerContext;

// Text arrived: gathers it, cuts one frame out of it, decodes it, and answers a history frame
// with ACK or CAN.
void DataReceived(HandlerContext& context);

// The line reported an error. A receive buffer overflow throws away everything received so far;
// any other error leaves it, and a frame it already holds is handled as after an arrival.
void LineErrorReported(HandlerContext& context, LineError error);

// The device went away: the port is closed at once, so nothing waits on a dead device, and the
// loss is reported once; the response timer still ends the exchange.
void PortLost(HandlerContext& context, const std::string& reason);

}  // namespace qm4250
