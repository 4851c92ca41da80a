#pragma once

struct HandlerContext;

inline constexpr const char* kNoResponse = "Error - No response from QM4250";

// The response timer's tick: ends the exchange, closes the port and enables the buttons that an
// upload disabled; reports a missing answer when not a single character arrived.
void ResponseTimeout(HandlerContext& context);
