#pragma once

#include "session/response_timer.h"
#include "session/serial_port.h"
#include "session/view.h"
#include "session/window_state.h"

// What every handler works on: the shared state and the three ways out to the world.
struct HandlerContext {
    WindowState& state;
    SerialPort& port;
    ResponseTimer& timer;
    View& view;
};
