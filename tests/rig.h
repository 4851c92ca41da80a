#pragma once

#include <string>

#include "fakes.h"
#include "session/controller.h"
#include "window/presenter.h"

namespace qm4250 {

// The session and the presenter wired to fakes, as the window wires them to the real port, timer
// and controls.
struct Rig {
    Rig() { controller.portOptionClicked(1); }

    void receive(const std::string& bytes) {
        port.incoming += bytes;
        controller.dataReceived();
    }
    void receiveFrame(const std::string& body) { receive("\x02" + body + "\x03"); }

    // Takes what the core wrote since the last call.
    std::string takeWritten() { return std::exchange(port.written, std::string()); }

    const ExchangeState& state() const { return controller.state(); }

    FakePort port;
    FakeTimer timer;
    FakeView view;
    Presenter presenter{view, view};
    Controller controller{port, timer, presenter, view};
};

// A fresh upload: REQUEST pressed and its command taken off the line, nothing received yet.
struct UploadRig : Rig {
    UploadRig() {
        controller.requestClicked();
        takeWritten();
    }
    const History& history() const { return *state().history(); }
};

inline const std::string kAck = "\x06";
inline const std::string kCan = "\x18";

}  // namespace qm4250
