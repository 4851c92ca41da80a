#include "window/presenter.h"

#include "formats/utf8.h"
#include "protocol/history.h"
#include "session/record_counter.h"
#include "window/list_lines.h"
#include "window/status_texts.h"

namespace qm4250 {

void Presenter::commandStarted(Command command) {
    if (command == Command::Request) {
        view_.clearList();
        archiveText_.clear();
    }
    view_.setStatusText("");
}

void Presenter::commandSent(Command command) {
    if (command == Command::Request)
        enableAfterUpload(false);
}

void Presenter::portFailed(Command command, const PortFailure& failure) {
    view_.showMessage(PortFailureText(command), PortFailureCause(failure));
}

void Presenter::identificationDecoded(const Identification& identification) {
    view_.addListLine(Latin1ToUtf8(IdentificationLine(identification)));
    view_.setRelayCaption(Latin1ToUtf8(RelayCaption(identification)));
}

void Presenter::recordDecoded(const TestRecord& record) {
    view_.addListLine(Latin1ToUtf8(ListLine(record)));
    if (PowerUp(record))
        view_.addListLine(kPowerUpLine);
}

void Presenter::uploadProgress(int32_t testRecords, int32_t unreadable) {
    recordCounter_ = RecordCounterText(testRecords, unreadable, input_.requestedCount());
    showRecordCounter();
}

void Presenter::lineError(LineError error) {
    view_.setStatusText(LineErrorText(error));
}

void Presenter::portLost(const std::string& reason) {
    view_.setStatusText(PortLostText(reason));
}

void Presenter::exchangeEnded(ExchangeEnd end) {
    if (end == ExchangeEnd::NoResponse)
        view_.setStatusText(kNoResponse);
    enableAfterUpload(true);
}

void Presenter::uploadEnded(const History& history, int32_t frames) {
    if (!archiver_)
        return;
    archiving_ = true;
    archiveText_ = kArchivingText;
    showRecordCounter();
    archiver_->archive(
        history, frames,
        [this](const std::string& reason) {
            archiveText_ = WaitingForArchiveText(reason);
            showRecordCounter();
        },
        [this](const ArchiveOutcome& outcome) { archiveFinished(outcome); });
}

void Presenter::archiveFinished(const ArchiveOutcome& outcome) {
    archiving_ = false;
    archiveText_ = ArchiveOutcomeText(outcome);
    showRecordCounter();
    if (whenArchived_)
        whenArchived_();
}

void Presenter::showRecordCounter() {
    view_.setRecordCounter(recordCounter_ + archiveText_);
}

void Presenter::modeReported(OperatingMode mode) {
    view_.setCurrentModeText(ModeName(mode));
    view_.selectModeOption(mode);
}

void Presenter::testInProgress() {
    view_.showMessage(kTestInProgress, "");
}

void Presenter::saveStarted() {
    enableAroundSave(false);
}

void Presenter::saveWriting() {
    view_.setBusyCursor(true);
}

void Presenter::saveFinished(const SaveResult& result) {
    view_.setBusyCursor(false);
    view_.setStatusText(SaveResultText(result));
}

void Presenter::saveEnded() {
    enableAroundSave(true);
}

void Presenter::enableAfterUpload(bool enabled) {
    for (Button button : {Button::Save, Button::SetMode, Button::ReqMode})
        view_.setButtonEnabled(button, enabled);
}

void Presenter::enableAroundSave(bool enabled) {
    for (Button button : {Button::Request, Button::Cancel, Button::ReqMode, Button::SetMode})
        view_.setButtonEnabled(button, enabled);
}

}  // namespace qm4250
