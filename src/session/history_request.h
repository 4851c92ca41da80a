#pragma once

namespace qm4250 {

struct HandlerContext;

// REQUEST: starts a fresh upload and sends the history command.
void RequestHistory(HandlerContext& context);

// CANCEL: the next history frame is answered with CAN, which asks the instrument to stop.
void CancelHistory(HandlerContext& context);

}  // namespace qm4250
