#pragma once

namespace qm4250 {

// What the session tells its front ends: plain values, never display text.

// The commands that go out on the line.
enum class Command { Request, GetMode, ChangeMode };

// Errors the serial line reports.
enum class LineError { Break, Framing, Overrun, RxOverflow, Parity, TxFull, Dcb };

// How an exchange ended when the response time ran out after its last frame: something
// answered, nothing did, or the device went away (unplugged, hung up) while it ran.
enum class ExchangeEnd { Answered, NoResponse, PortLost };

}  // namespace qm4250
