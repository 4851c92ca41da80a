#include "cli/headless_upload.h"

#include <unistd.h>

#include <QDateTime>

#include "adapters/port_device.h"
#include "archive/archive_location.h"
#include "archive/upload_archive.h"
#include "session/record_counter.h"
#include "session/save_history.h"

namespace qm4250 {

namespace {

constexpr int kProgressLineEvery = 100;  // records between progress lines when not a terminal

const char* LineErrorName(LineError error) {
    switch (error) {
        case LineError::Break:
            return "break received";
        case LineError::Framing:
            return "framing error";
        case LineError::Overrun:
            return "data lost";
        case LineError::RxOverflow:
            return "receive buffer overflow";
        case LineError::Parity:
            return "parity error";
        case LineError::TxFull:
            return "transmit buffer full";
        case LineError::Dcb:
            return "port settings unreadable";
    }
    return "unknown";
}

}  // namespace

HeadlessUpload::HeadlessUpload(const CommandLine& commandLine, std::FILE* messages)
    : commandLine_(commandLine),
      messages_(messages),
      terminal_(isatty(fileno(messages))),
      // A device path stands for whichever COMM number the upload selects.
      port_(commandLine.device.empty()
                ? PortResolver([this](int n) { return PortDevice(n, &assignments_); })
                : [device = commandLine.device](int) { return device; }),
      controller_(port_, timer_, *this, *this) {
    QObject::connect(&port_, &QtSerialPort::dataReceived, [this] { controller_.dataReceived(); });
    QObject::connect(&port_, &QtSerialPort::lineError,
                     [this](LineError error) { controller_.lineError(error); });
    QObject::connect(&timer_, &QtResponseTimer::tick, [this] { controller_.timerTick(); });
}

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
    if (end_ == ExchangeEnd::NoResponse)
        return finish(kExitNoResponse, "no response from the QM4250 on " +
                                           (commandLine_.device.empty()
                                                ? PortDevice(commandLine_.port, &assignments_)
                                                : commandLine_.device));
    // Archived first: a file that cannot be saved must not cost the archive its tests.
    bool archived = !archiveLocation_ || archive();
    if (!commandLine_.exportFile.empty()) {
        if (SaveUploadedHistory(controller_.state(), commandLine_.exportFile) != SaveResult::Saved)
            return finish(kExitNotSaved,
                          "history data was not saved to " + commandLine_.exportFile);
        std::fprintf(messages_, "%s\n", savedLine().c_str());
    }
    return archived ? kExitSaved : kExitNotArchived;
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

bool HeadlessUpload::archive() {
    if (frames_ == 0) {
        std::fputs("Nothing to archive: no history frame arrived\n", messages_);
        return true;
    }
    ArchiveResult result = StoreUpload(
        *archiveLocation_, {*controller_.state().history(), QString::fromStdString(port_.device()),
                            frames_, QDateTime::currentDateTimeUtc()});
    if (!result.written()) {
        finish(kExitNotArchived,
               "archive not written: " + ArchiveErrorText(*result.error).toStdString());
        return false;
    }
    std::fprintf(messages_, "Archived %d new tests in %s\n", result.newTests,
                 archiveLocation_->display().toStdString().c_str());
    return true;
}

int HeadlessUpload::finish(int status, const std::string& reason) {
    std::fprintf(messages_, "qm4250-upload: %s\n", reason.c_str());
    return status;
}

void HeadlessUpload::portFailed(Command, const std::string& reason) {
    portFailure_ = reason;
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
                 LineErrorName(error));
}

void HeadlessUpload::exchangeEnded(ExchangeEnd end) {
    end_ = end;
    uploadRunning_.quit();
}

}  // namespace qm4250
