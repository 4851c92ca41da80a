#pragma once

#include <cstdint>
#include <string>

#include "export/save_history_workbook.h"
#include "protocol/history.h"
#include "protocol/operating_mode.h"
#include "session/serial_port.h"
#include "session/session_events.h"

namespace qm4250 {

// Receives what the session's handlers report, in the order it happens, on the event thread. A
// call may block (a modal message box): events arriving meanwhile wait until it returns.
class SessionListener {
  public:
    virtual ~SessionListener() = default;

    // A command's handler starts; for REQUEST, once its command is on the line, when the fresh
    // upload replaces the last one.
    virtual void commandStarted(Command command) = 0;
    // Its frame is on the line and the response time runs.
    virtual void commandSent(Command command) = 0;
    // The port could not be selected, opened or written.
    virtual void portFailed(Command command, const PortFailure& failure) = 0;

    virtual void identificationDecoded(const Identification& identification) = 0;
    virtual void recordDecoded(const TestRecord& record) = 0;
    virtual void recordUnreadable() = 0;
    // After REQUEST and after each arrival while an upload's history exists: the test records
    // received so far (decoded or not) and how many of them could not be decoded.
    virtual void uploadProgress(int32_t testRecords, int32_t unreadable) = 0;

    virtual void lineError(LineError error) = 0;
    // The open port went away during an exchange (the device unplugged, the line hung up): the
    // port is closed, what arrived before is kept, and the tick ends the exchange. Once per
    // exchange; reason is the platform's word for it.
    virtual void portLost(const std::string& reason) = 0;
    // The response time ran out: the exchange is over and the port closed.
    virtual void exchangeEnded(ExchangeEnd end) = 0;
    // After exchangeEnded, when the exchange was an upload that brought at least one history
    // frame: the history it brought, and how many frames that was.
    virtual void uploadEnded(const History& history, int32_t frames) = 0;

    virtual void modeReported(OperatingMode mode) = 0;
    virtual void testInProgress() = 0;

    // SAVE: started (before the file is chosen), writing (a file was chosen), its result, ended.
    virtual void saveStarted() = 0;
    virtual void saveWriting() = 0;
    virtual void saveFinished(const SaveResult& result) = 0;
    virtual void saveEnded() = 0;
};

}  // namespace qm4250
