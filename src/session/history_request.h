#pragma once

struct HandlerContext;
struct WindowState;

inline constexpr const char* kRequestPortFailure = "Can't open comm port";

// REQUEST: starts a fresh upload and sends the history command.
void RequestHistory(HandlerContext& context);

// CANCEL: the next history frame is answered with CAN, which asks the instrument to stop.
void CancelHistory(WindowState& state);
