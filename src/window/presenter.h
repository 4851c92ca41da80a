#pragma once

#include <functional>
#include <string>

#include "session/operator_input.h"
#include "session/session_listener.h"
#include "window/upload_archiver.h"
#include "window/window_view.h"

namespace qm4250 {

// Turns what the session reports into what the window shows: list lines, captions, status
// texts, the record counter, message boxes and which buttons may be pressed.
class Presenter : public SessionListener {
  public:
    // Without an archiver, uploads are not archived.
    Presenter(WindowView& view, const OperatorInput& input, UploadArchiver* archiver = nullptr)
        : view_(view), input_(input), archiver_(archiver) {}

    void commandStarted(Command command) override;
    void commandSent(Command command) override;
    void portFailed(Command command, const PortFailure& failure) override;
    void identificationDecoded(const Identification& identification) override;
    void recordDecoded(const TestRecord& record) override;
    void recordUnreadable() override {}
    void uploadProgress(int32_t testRecords, int32_t unreadable) override;
    void lineError(LineError error) override;
    void portLost(const std::string& reason) override;
    void exchangeEnded(ExchangeEnd end) override;
    void uploadEnded(const History& history, int32_t frames) override;
    void modeReported(OperatingMode mode) override;
    void testInProgress() override;
    void saveStarted() override;
    void saveWriting() override;
    void saveFinished(const SaveResult& result) override;
    void saveEnded() override;

    // From an upload's end until its archive write reports back.
    bool archiving() const { return archiving_; }
    // Runs after each archive write has reported and its outcome is shown.
    void whenArchived(std::function<void()> then) { whenArchived_ = std::move(then); }

  private:
    void archiveFinished(const ArchiveOutcome& outcome);
    void showRecordCounter();
    // What an upload disables until the exchange ends.
    void enableAfterUpload(bool enabled);
    // What a save disables until it is done.
    void enableAroundSave(bool enabled);

    WindowView& view_;
    const OperatorInput& input_;
    UploadArchiver* archiver_;
    std::string recordCounter_;  // "Records: N", as the session last reported it
    // What the archive made of the last upload; kept until the next upload starts, so a mode
    // exchange's progress report does not wipe it.
    std::string archiveText_;
    bool archiving_ = false;
    std::function<void()> whenArchived_;
};

}  // namespace qm4250
