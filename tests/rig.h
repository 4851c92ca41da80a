#pragma once

#include <string>

#include "fakes.h"
#include "session/controller.h"
#include "session/receive_handler.h"

// The whole core wired to fakes, as the window wires it to the real port and timer.
struct Rig {
    Rig() { controller.portOptionClicked(1); }

    void receive(const std::string& bytes) {
        port.incoming += bytes;
        controller.commEvent(CommEvent::kDataReceived);
    }
    void receiveFrame(const std::string& body) { receive("\x02" + body + "\x03"); }

    // Takes what the core wrote since the last call.
    std::string takeWritten() { return std::exchange(port.written, std::string()); }

    const WindowState& state() const { return controller.state(); }

    FakePort port;
    FakeTimer timer;
    FakeView view;
    Controller controller{port, timer, view};
};

inline const std::string kAck = "\x06";
inline const std::string kCan = "\x18";
