#pragma once

#include <QEventLoop>
#include <cstdio>
#include <optional>
#include <string>

#include "adapters/port_assignments.h"
#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "archive/archive_location.h"
#include "cli/command_line.h"
#include "session/controller.h"
#include "session/operator_input.h"
#include "session/session_listener.h"

namespace qm4250 {

// The upload of the window, without the window: the same controller, port and response
// timeout, driven by REQUEST alone, then the export to the file the command line names. It
// reports progress and the outcome on `messages` (standard error).
class HeadlessUpload : public SessionListener, public OperatorInput {
  public:
    HeadlessUpload(const CommandLine& commandLine, std::FILE* messages);

    // Needs a running Qt core application; returns the exit status.
    int run();

    void commandStarted(Command) override {}
    void commandSent(Command) override {}
    void portFailed(Command command, const std::string& reason) override;
    void identificationDecoded(const Identification&) override {}
    void recordDecoded(const TestRecord&) override {}
    void recordUnreadable() override {}
    void uploadProgress(int32_t testRecords, int32_t unreadable) override;
    void lineError(LineError error) override;
    void exchangeEnded(ExchangeEnd end) override;
    void uploadEnded(const History&, int32_t frames) override { frames_ = frames; }
    void modeReported(OperatingMode) override {}
    void testInProgress() override {}
    void saveStarted() override {}
    void saveWriting() override {}
    void saveFinished(SaveResult) override {}
    void saveEnded() override {}

    std::string requestedCount() const override { return commandLine_.count; }
    std::optional<OperatingMode> selectedMode() const override { return std::nullopt; }
    std::string chooseSaveFileName() override { return {}; }

  private:
    std::string savedLine() const;
    // Writes the upload to the archive and says how it went; false when it was not written.
    bool archive();
    int finish(int status, const std::string& reason);

    CommandLine commandLine_;
    std::FILE* messages_;
    bool terminal_;
    PortAssignments assignments_;
    QtSerialPort port_;
    QtResponseTimer timer_;
    Controller controller_;
    QEventLoop uploadRunning_;
    std::optional<std::string> portFailure_;
    ExchangeEnd end_ = ExchangeEnd::Answered;
    int shownCount_ = 0;
    int32_t frames_ = 0;
    std::optional<ArchiveLocation> archiveLocation_;
};

}  // namespace qm4250
