#include "cli/headless_upload.h"

#include <unistd.h>

#include <cstdlib>

#include "adapters/port_device.h"
#include "session/response_timeout.h"
#include "session/save_button.h"

namespace {

constexpr int kProgressLineEvery = 100;  // records between progress lines when not a terminal

}  // namespace

HeadlessUpload::HeadlessUpload(const CommandLine& commandLine, std::FILE* messages)
    : commandLine_(commandLine),
      messages_(messages),
      terminal_(isatty(fileno(messages))),
      controller_(port_, timer_, *this) {
    QObject::connect(&port_, &QtSerialPort::notification,
                     [this](int code) { controller_.commEvent(code); });
    QObject::connect(&timer_, &QtResponseTimer::tick, [this] { controller_.timerTick(); });
}

int HeadlessUpload::run() {
    // A device path is used through the same mapping as a port number: as COMM n's device.
    if (!commandLine_.device.empty())
        setenv(("QM4250_COMM" + std::to_string(commandLine_.port)).c_str(),
               commandLine_.device.c_str(), 1);
    std::string device = PortDevice(commandLine_.port);

    controller_.portOptionClicked(commandLine_.port);
    controller_.requestClicked();
    if (portFailed_)
        return finish(kExitPortFailure, port_.lastError().toStdString());
    uploadRunning_.exec();

    if (terminal_)
        std::fputc('\n', messages_);
    if (status_ == kNoResponse)
        return finish(kExitNoResponse, std::string("no response from the QM4250 on ") + device);
    if (SaveUploadedHistory(controller_.state(), commandLine_.exportFile) != SaveResult::Saved)
        return finish(kExitNotSaved, "history data was not saved to " + commandLine_.exportFile);
    std::fprintf(messages_, "%s\n", savedLine().c_str());
    return kExitSaved;
}

// Only the records in the file are counted as saved; those that could not be read are named
// apart, so a count that falls short of the instrument's is explained.
std::string HeadlessUpload::savedLine() const {
    const History& history = *controller_.state().history;
    std::string line = "Saved " + std::to_string(history.records.size()) + " test records to " +
                       commandLine_.exportFile;
    if (history.unreadable == 1)
        line += "; 1 record could not be read";
    else if (history.unreadable > 1)
        line += "; " + std::to_string(history.unreadable) + " records could not be read";
    return line;
}

int HeadlessUpload::finish(int status, const std::string& reason) {
    std::fprintf(messages_, "qm4250-upload: %s\n", reason.c_str());
    return status;
}

// Line errors are worth a word; the upload goes on all the same.
void HeadlessUpload::setStatusText(std::string_view text) {
    status_ = text;
    if (!text.empty() && text != kNoResponse)
        std::fprintf(messages_, "%s%.*s\n", terminal_ ? "\n" : "", static_cast<int>(text.size()),
                     text.data());
}

// On a terminal one line is rewritten in place; elsewhere a line now and then keeps logs short.
void HeadlessUpload::setRecordCounter(std::string_view text) {
    int received = std::max(controller_.state().RecordIndex, 0);
    if (terminal_) {
        std::fprintf(messages_, "\r%.*s", static_cast<int>(text.size()), text.data());
    } else if (received >= shownCount_ + kProgressLineEvery) {
        shownCount_ = received - received % kProgressLineEvery;
        std::fprintf(messages_, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
    std::fflush(messages_);
}

// Only the response timeout enables SAVE: the exchange is over.
void HeadlessUpload::setButtonEnabled(Button button, bool enabled) {
    if (button == Button::Save && enabled)
        uploadRunning_.quit();
}

void HeadlessUpload::showMessage(std::string_view) {
    portFailed_ = true;
}
