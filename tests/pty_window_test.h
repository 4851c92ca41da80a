#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <functional>
#include <memory>
#include <string>

#include "adapters/link_wiring.h"
#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "pseudo_terminal.h"
#include "window/main_window.h"
#include "window/settings_file.h"

namespace qm4250 {

// The real window on the real serial port, COMM 1 being a pseudo-terminal whose master end the
// test plays as the instrument, or closes as a pulled cable.
class PtyWindowTest : public testing::Test {
  protected:
    PtyWindowTest() {
        setenv("QM4250_COMM1", instrument_.slavePath().c_str(), 1);
        window_ = std::make_unique<MainWindow>(port_, timer_, SettingsPath("/nonexistent/"));
        WireLink(port_, timer_, window_->controller(), window_.get());
    }
    ~PtyWindowTest() override { unsetenv("QM4250_COMM1"); }

    template <typename T>
    T* find(const char* name) const {
        return window_->findChild<T*>(name);
    }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QString status() const { return find<QLabel>("Panel1")->text(); }

    // Reads what the program wrote until it is enough, giving the event loop time to run; the
    // wait only keeps a broken build from hanging.
    std::string receiveFromProgram(const std::function<bool(const std::string&)>& enough,
                                   int waitMs) {
        std::string received;
        (void)QTest::qWaitFor(
            [&] {
                received += instrument_.receive();
                return enough(received);
            },
            waitMs);
        return received;
    }

    PseudoTerminal instrument_;
    QtSerialPort port_;
    QtResponseTimer timer_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace qm4250
