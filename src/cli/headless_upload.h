#pragma once

#include <QEventLoop>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "archive/archive_location.h"
#include "cli/command_line.h"
#include "session/controller.h"
#include "session/operator_input.h"
#include "session/response_timer.h"
#include "session/serial_port.h"
#include "session/session_listener.h"

namespace qm4250 {

// The upload of the window, without the window: the same controller and response timeout,
// driven by REQUEST alone, then the export to the file the command line names. It reports
// progress and the outcome on `messages` (standard error).
class HeadlessUpload : public SessionListener, public OperatorInput {
  public:
    // `device` names the device the selected port opens, for messages and the archive.
    HeadlessUpload(const CommandLine& commandLine, std::FILE* messages, SerialPort& port,
                   ResponseTimer& timer, std::function<std::string()> device);

    // Where the port's and the timer's events go.
    Controller& controller() { return controller_; }

    // Needs a running Qt core application; returns the exit status.
    int run();

    void commandStarted(Command) override {}
    void commandSent(Command) override {}
    void portFailed(Command command, const PortFailure& failure) override;
    void identificationDecoded(const Identification&) override {}
    void recordDecoded(const TestRecord&) override {}
    void recordUnreadable() override {}
    void uploadProgress(int32_t testRecords, int32_t unreadable) override;
    void lineError(LineError error) override;
    void portLost(const std::string& reason) override { lostReason_ = reason; }
    void exchangeEnded(ExchangeEnd end) override;
    void uploadEnded(const History&, int32_t frames) override { frames_ = frames; }
    void modeReported(OperatingMode) override {}
    void testInProgress() override {}
    void saveStarted() override {}
    void saveWriting() override {}
    void saveFinished(const SaveResult&) override {}
    void saveEnded() override {}

    std::string requestedCount() const override { return commandLine_.count; }
    std::optional<OperatingMode> selectedMode() const override { return std::nullopt; }
    std::string chooseSaveFileName() override { return {}; }

  private:
    // Why no history came: nothing answered, the port closed, or bytes that never made a frame.
    std::string noHistoryText() const;
    std::string savedLine() const;
    // Writes the upload to the archive and says how it went; false when it was not written.
    bool archive();
    int finish(int status, const std::string& reason);

    CommandLine commandLine_;
    std::FILE* messages_;
    bool terminal_;
    std::function<std::string()> device_;
    Controller controller_;
    QEventLoop uploadRunning_;
    std::optional<std::string> portFailure_;
    std::optional<std::string> lostReason_;
    ExchangeEnd end_ = ExchangeEnd::Answered;
    int shownCount_ = 0;
    int32_t frames_ = 0;
    std::optional<ArchiveLocation> archiveLocation_;
    std::string verdictLine_;  // said last, after the saved file
};

}  // namespace qm4250
