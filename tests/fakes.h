#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/operator_input.h"
#include "session/response_timer.h"
#include "session/serial_port.h"
#include "window/window_view.h"

namespace qm4250 {

// How the fake port fails: as the platform fails, its words "the far end's reason".
inline const PortFailure kFarEndsFailure{PortFailure::Kind::Platform, 3, "/dev/fake",
                                         "the far end's reason"};

// A serial port whose far end the test plays: what the test puts in `incoming` is what the next
// readAll() returns; every write lands in `written`, and the failures are the test's to choose.
class FakePort : public SerialPort {
  public:
    PortResult selectPort(int n) override {
        selected = n;
        if (failSelect)
            return kFarEndsFailure;
        return {};
    }
    bool isOpen() const override { return opened; }
    PortResult open() override {
        ++opens;
        if (failOpen)
            return kFarEndsFailure;
        opened = true;
        return {};
    }
    void close() override {
        closes += opened;
        opened = false;
    }
    PortResult write(std::string_view bytes) override {
        if (failWrite || !opened)
            return kFarEndsFailure;
        written.append(bytes);
        return {};
    }
    std::string readAll() override { return std::exchange(incoming, std::string()); }

    int selected = 0;
    bool opened = false;
    int opens = 0;
    int closes = 0;  // of an open port
    bool failSelect = false;
    bool failOpen = false;
    bool failWrite = false;
    std::string written;
    std::string incoming;
};

class FakeTimer : public ResponseTimer {
  public:
    void start() override {
        running = true;
        ++starts;
    }
    void stop() override { running = false; }

    bool running = false;
    int starts = 0;
};

inline const char* ButtonName(Button button) {
    switch (button) {
        case Button::Request:
            return "Request";
        case Button::Cancel:
            return "Cancel";
        case Button::Save:
            return "Save";
        case Button::ReqMode:
            return "ReqMode";
        case Button::SetMode:
            return "SetMode";
        case Button::Exit:
            return "Exit";
    }
    return "?";
}

// The window as the presenter changes it, and the operator as the handlers ask them.
class FakeView : public WindowView, public OperatorInput {
  public:
    void setStatusText(std::string_view text) override { status = text; }
    void setRecordCounter(std::string_view text) override { recordCounter = text; }
    void clearList() override { list.clear(); }
    void addListLine(std::string_view line) override { list.emplace_back(line); }
    void setRelayCaption(std::string_view caption) override { relayCaption = caption; }
    void setCurrentModeText(std::string_view text) override { currentMode = text; }
    void selectModeOption(OperatingMode mode) override { modeOption = mode; }
    void setButtonEnabled(Button button, bool enabled) override {
        enabled_[static_cast<int>(button)] = enabled;
        buttonLog.push_back((enabled ? "+" : "-") + std::string(ButtonName(button)));
    }
    void showMessage(std::string_view text, std::string_view detail) override {
        messages.emplace_back(text);
        details.emplace_back(detail);
        if (whileMessageShown)
            whileMessageShown();
    }
    void setBusyCursor(bool busy) override { busyLog.push_back(busy); }

    std::string requestedCount() const override { return numValues; }
    std::optional<OperatingMode> selectedMode() const override { return modeOption; }
    std::string chooseSaveFileName() override {
        ++dialogs;
        if (whileDialogOpen)
            whileDialogOpen();
        return saveFileName;
    }

    bool enabled(Button button) const { return enabled_[static_cast<int>(button)]; }

    std::string status;
    std::string recordCounter;
    std::vector<std::string> list;
    std::string relayCaption = "GP  -Rej +Rej";
    std::string numValues;
    std::string currentMode;
    std::optional<OperatingMode> modeOption;
    std::vector<std::string> messages;
    std::vector<std::string> details;
    std::vector<std::string> buttonLog;
    std::string saveFileName;  // what the operator picks in the save dialog; empty: cancel
    int dialogs = 0;
    std::vector<bool> busyLog;
    // Runs while a message box is open, as the event loop would deliver events then.
    std::function<void()> whileMessageShown;
    // Runs while the save dialog is open.
    std::function<void()> whileDialogOpen;

  private:
    bool enabled_[6] = {true, true, true, true, true, true};
};

}  // namespace qm4250
