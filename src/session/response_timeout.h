#pragma once

namespace qm4250 {

struct HandlerContext;

// The response timer's tick: ends the exchange and closes the port; reports whether anything at
// all answered the command.
void ResponseTimeout(HandlerContext& context);

}  // namespace qm4250
