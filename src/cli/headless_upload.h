#pragma once

#include <QEventLoop>
#include <cstdio>
#include <string>

#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "cli/command_line.h"
#include "session/controller.h"
#include "session/view.h"

// The upload of the window, without the window: the same controller, port and response
// timeout, driven by REQUEST alone, then the export to the file the command line names. It
// reports progress and the outcome on `messages` (standard error).
class HeadlessUpload : public View {
  public:
    HeadlessUpload(const CommandLine& commandLine, std::FILE* messages);

    // Needs a running Qt core application; returns the exit status.
    int run();

    void setStatusText(std::string_view text) override;
    void setRecordCounter(std::string_view text) override;
    void clearList() override {}
    void addListLine(std::string_view) override {}
    void setRelayCaption(std::string_view) override {}
    std::string numValuesText() const override { return commandLine_.count; }
    void setCurrentModeText(std::string_view) override {}
    ModeOption selectedModeOption() const override { return ModeOption::None; }
    void selectModeOption(ModeOption) override {}
    void setButtonEnabled(Button button, bool enabled) override;
    void showMessage(std::string_view text) override;
    std::string chooseSaveFileName() override { return {}; }
    void setBusyCursor(bool) override {}

  private:
    std::string savedLine() const;
    int finish(int status, const std::string& reason);

    CommandLine commandLine_;
    std::FILE* messages_;
    bool terminal_;
    QtSerialPort port_;
    QtResponseTimer timer_;
    Controller controller_;
    QEventLoop uploadRunning_;
    std::string status_;
    bool portFailed_ = false;
    int shownCount_ = 0;
};
