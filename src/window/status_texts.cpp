#include "window/status_texts.h"

#include <cstring>

#include "formats/utf8.h"
#include "session/record_counter.h"

namespace qm4250 {

namespace {

// A received field as the status bar quotes it: its first 40 characters, "…" when there is more.
std::string Quoted(const std::string& latin1) {
    constexpr size_t kShown = 40;
    return Latin1ToUtf8(latin1.substr(0, kShown)) + (latin1.size() > kShown ? "\u2026" : "");
}

std::string UnwritableReasonText(const UnwritableTest& test) {
    switch (test.reason) {
        case UnwritableTest::Reason::CellTooLong:
            break;
    }
    return "its " + test.field + " is longer than a cell holds (32,767 characters)";
}

}  // namespace

const char* LineErrorText(LineError error) {
    switch (error) {
        case LineError::Break:
            return "Error - break received";
        case LineError::Framing:
            return "Error - framing error";
        case LineError::Overrun:
            return "Error - data lost";
        case LineError::RxOverflow:
            return "Error - RX buffer overflow";
        case LineError::Parity:
            return "Error - Parity error";
        case LineError::TxFull:
            return "Error - TX buffer full";
        case LineError::Dcb:
            return "Error - retrieving DCB";
    }
    return "";
}

const char* PortFailureText(Command command) {
    return command == Command::Request ? kRequestPortFailure : kModePortFailure;
}

std::string PortFailureCause(const PortFailure& failure) {
    switch (failure.kind) {
        case PortFailure::Kind::NoSuchPort:
            return "COMM " + std::to_string(failure.portNumber) + " is not a serial port number.";
        case PortFailure::Kind::NoPermission:
            return failure.device + ": " + failure.detail +
                   " (the user must be in the dialout group)";
        case PortFailure::Kind::NotOpen:
            return failure.device + ": the port is not open";
        case PortFailure::Kind::Platform:
            break;
    }
    return failure.device + ": " + failure.detail;
}

std::string FailureCause(const Failure& failure) {
    switch (failure.kind) {
        case Failure::Kind::System:
            return std::strerror(failure.errorNumber);
        case Failure::Kind::NothingToWrite:
            return "nothing has been uploaded yet";
        case Failure::Kind::NotAFile:
            return "the name is a folder's, or its links go round in a loop";
        case Failure::Kind::Writer:
            return "the file's writer failed";
        case Failure::Kind::Incomplete:
            return "the file written is not whole";
        // An upload's worksheet is named by the program and its cells checked before the save.
        case Failure::Kind::SheetName:
        case Failure::Kind::SheetNameTaken:
        case Failure::Kind::TooManyWorksheets:
        case Failure::Kind::TooManyRows:
        case Failure::Kind::RowTooWide:
        case Failure::Kind::NotUtf8:
        case Failure::Kind::CellTooLong:
            break;
    }
    return "worksheet \"" + Quoted(failure.object) + "\" cannot be written";
}

std::string SaveResultText(const SaveResult& result) {
    if (result)
        return kHistorySaved;
    const auto* test = std::get_if<UnwritableTest>(&result.error());
    if (!test)
        return std::string(kHistoryNotSaved) + ": " +
               FailureCause(std::get<Failure>(result.error()));
    std::string which = "test Seq# " + Quoted(test->seq);
    if (test->field != "PN")
        which += ", PN " + Quoted(test->pn);
    if (test->serial)
        which += " of SN " + Quoted(*test->serial);
    return std::string(kHistoryNotSaved) + ": " + which + ": " + UnwritableReasonText(*test);
}

std::string WaitingForArchiveText(const std::string& reason) {
    return std::string(kArchivingText) + " (waiting for the archive: " + reason + ")";
}

std::string ArchiveOutcomeText(const ArchiveOutcome& outcome) {
    if (!outcome.written)
        return " \u00B7 archive not written: " + outcome.reason;
    std::string text = " \u00B7 " + std::to_string(outcome.newTests) + " new in archive";
    if (!outcome.verdictNotRead.empty())
        return text + " \u00B7 limits not checked: " + outcome.verdictNotRead;
    std::string verdict = VerdictText(outcome.verdict);
    return verdict.empty() ? text : text + " \u00B7 " + verdict;
}

std::string PortLostText(const std::string& reason) {
    return "Error - port closed: " + reason;
}

const char* ModeName(OperatingMode mode) {
    switch (mode) {
        case OperatingMode::SetUp:
            return "SETUP";
        case OperatingMode::Calibrate:
            return "CALIBRATE";
        case OperatingMode::Run:
            return "RUN";
        case OperatingMode::Data:
            return "DATA";
    }
    return "";
}

}  // namespace qm4250
