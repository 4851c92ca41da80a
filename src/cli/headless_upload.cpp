#include "cli/headless_upload.h"

#include <unistd.h>

#include <QDateTime>

#include "archive/archive_location.h"
#include "archive/upload_archive.h"
#include "archive/upload_verdict.h"
#include "cli/archive_waiting.h"
#include "cli/escaped_text.h"
#include "cli/failure_text.h"
#include "cli/line_error_words.h"
#include "session/record_counter.h"
#include "session/save_history.h"

namespace qm4250 {

namespace {

constexpr int kProgressLineEvery = 100;  // records between progress lines when not a terminal

std::string Counted(int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

HeadlessUpload::HeadlessUpload(const CommandLine& commandLine, std::FILE* messages,
                               SerialPort& port, ResponseTimer& timer,
                               std::function<std::string()> device)
    : commandLine_(commandLine),
      messages_(messages),
      terminal_(isatty(fileno(messages))),
      device_(std::move(device)),
      controller_(port, timer, *this, *this) {}

int HeadlessUpload::run() {
    // A location that is not an archive's is refused before the upload, so nothing is made of it.
    if (commandLine_.archive) {
        ChosenLocation chosen =
            ChooseArchiveLocation(QString::fromStdString(commandLine_.archiveUrl));
        if (!chosen.location)
            return finish(kExitBadArguments, NotALocationText(chosen.text).toStdString());
        if (!chosen.location->password.isEmpty())
            std::fprintf(messages_, "qm4250-upload: %s\n", kPasswordWarning);
        archiveLocation_ = chosen.location;
    }
    controller_.portOptionClicked(commandLine_.port);
    controller_.requestClicked();
    if (portFailure_)
        return finish(kExitPortFailure, *portFailure_);
    uploadRunning_.exec();

    if (terminal_)
        std::fputc('\n', messages_);
    if (frames_ == 0)
        return finish(kExitNoResponse, noHistoryText());
    if (lostReason_)
        finish(kExitCutShort,
               "upload cut short after " +
                   Counted(controller_.state().recordIndex(), "test record", "test records") +
                   ": the port closed: " + *lostReason_);
    // Archived first: a file that cannot be saved must not cost the archive its tests.
    bool archived = !archiveLocation_ || archive();
    if (!commandLine_.exportFile.empty()) {
        SaveResult saved = SaveUploadedHistory(controller_.state(), commandLine_.exportFile);
        if (!saved) {
            // What the failure quotes comes escaped already.
            std::fprintf(messages_, "qm4250-upload: history data was not saved to %s: %s\n",
                         EscapedText(commandLine_.exportFile).c_str(),
                         SaveFailureText(saved.error()).c_str());
            return kExitNotSaved;
        }
        std::fprintf(messages_, "%s\n", EscapedText(savedLine()).c_str());
    }
    if (!verdictLine_.empty())
        std::fprintf(messages_, "%s\n", EscapedText(verdictLine_).c_str());
    // A history cut short is the worse news of the two: the archive's failure is said above.
    if (lostReason_)
        return kExitCutShort;
    return archived ? kExitSaved : kExitNotArchived;
}

std::string HeadlessUpload::noHistoryText() const {
    if (lostReason_)
        return "the port closed before any history frame arrived: " + *lostReason_;
    if (int64_t bytes = controller_.state().bytesReceived(); bytes > 0)
        return Counted(bytes, "byte", "bytes") +
               " received but no frame: check the device and the baud rate";
    return "no response from the QM4250 on " + device_();
}

// Only the records in the file are counted as saved; those that could not be read are named
// apart, so a count that falls short of the instrument's is explained.
std::string HeadlessUpload::savedLine() const {
    const History& history = *controller_.state().history();
    std::string line = "Saved " + std::to_string(history.records.size()) + " test records to " +
                       commandLine_.exportFile;
    size_t unreadable = history.unreadable.size();
    if (unreadable == 1)
        line += "; 1 record could not be read";
    else if (unreadable > 1)
        line += "; " + std::to_string(unreadable) + " records could not be read";
    return line;
}

namespace {

// The last line says what the archive makes of the new tests, where it finds any beyond.
std::string VerdictLine(const Result<std::vector<PartVerdict>, ArchiveError>& verdict) {
    if (!verdict)
        return "qm4250-upload: limits not checked: " +
               ArchiveErrorText(verdict.error()).toStdString();
    std::string text = VerdictText(verdict.value());
    return text.empty() ? text : "Archive verdict: " + text;
}

}  // namespace

bool HeadlessUpload::archive() {
    ArchiveResult result =
        StoreUpload(*archiveLocation_,
                    {*controller_.state().history(), QString::fromStdString(device_()), frames_,
                     QDateTime::currentDateTimeUtc()},
                    WaitingLine(messages_, "qm4250-upload: ", archiveLocation_->retryForMs));
    if (!result.written()) {
        finish(kExitNotArchived,
               "archive not written: " + ArchiveErrorText(*result.error).toStdString());
        return false;
    }
    std::fprintf(messages_, "Archived %d new tests in %s\n", result.newTests,
                 EscapedText(archiveLocation_->display().toStdString()).c_str());
    if (result.newTests > 0)
        verdictLine_ = VerdictLine(VerdictOnUploads(*archiveLocation_, result.uploads));
    return true;
}

// Every reason quotes something from outside: a device, a file, a location, what a library said.
int HeadlessUpload::finish(int status, const std::string& reason) {
    std::fprintf(messages_, "qm4250-upload: %s\n", EscapedText(reason).c_str());
    return status;
}

void HeadlessUpload::portFailed(Command, const PortFailure& failure) {
    portFailure_ = PortFailureText(failure);
}

// On a terminal one line is rewritten in place; elsewhere a line now and then keeps logs short.
void HeadlessUpload::uploadProgress(int32_t testRecords, int32_t unreadable) {
    std::string text = RecordCounterText(testRecords, unreadable, commandLine_.count);
    if (terminal_) {
        std::fprintf(messages_, "\r%s", text.c_str());
    } else if (testRecords >= shownCount_ + kProgressLineEvery) {
        shownCount_ = testRecords - testRecords % kProgressLineEvery;
        std::fprintf(messages_, "%s\n", text.c_str());
    }
    std::fflush(messages_);
}

// Line errors are worth a word; the upload goes on all the same.
void HeadlessUpload::lineError(LineError error) {
    std::fprintf(messages_, "%sqm4250-upload: line error: %s\n", terminal_ ? "\n" : "",
                 LineErrorWords(error));
}

void HeadlessUpload::exchangeEnded(ExchangeEnd end) {
    end_ = end;
    uploadRunning_.quit();
}

}  // namespace qm4250
