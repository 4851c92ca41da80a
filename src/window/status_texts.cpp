#include "window/status_texts.h"

#include "session/record_counter.h"

namespace qm4250 {

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

const char* SaveResultText(SaveResult result) {
    return result == SaveResult::Saved ? kHistorySaved : kHistoryNotSaved;
}

std::string WaitingForArchiveText(const std::string& reason) {
    return std::string(kArchivingText) + " (waiting for the archive: " + reason + ")";
}

std::string ArchiveText(const ArchiveOutcome& outcome) {
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
