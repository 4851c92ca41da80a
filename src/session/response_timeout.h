#pragma once

namespace qm4250 {

struct HandlerContext;

// The response timer's tick: ends the exchange and closes the port; reports how it ended.
void ResponseTimeout(HandlerContext& context);

}  // namespace qm4250
