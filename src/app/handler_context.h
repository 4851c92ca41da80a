#pragma once

#include "app/view.h"
#include "app/window_state.h"
#include "link/response_timer.h"
#include "link/serial_port.h"

// What every handler works on: the shared state and the three ways out to the world.
struct HandlerContext {
    WindowState& state;
    SerialPort& port;
    ResponseTimer& timer;
    View& view;
};
