#pragma once

struct HandlerContext;

// Event codes that come with the serial port's notification.
namespace CommEvent {
inline constexpr int kDataReceived = 2;
inline constexpr int kBreak = 1001;
inline constexpr int kFramingError = 1004;
inline constexpr int kOverrun = 1006;
inline constexpr int kRxOverflow = 1008;
inline constexpr int kParityError = 1009;
inline constexpr int kTxFull = 1010;
inline constexpr int kDcbError = 1011;
}  // namespace CommEvent

// The serial port's notification: reports line errors, gathers received text, cuts one frame out
// of it, decodes it, and answers a history frame with ACK or CAN.
void ReceiveHandler(HandlerContext& context, int eventCode);
