#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_scanner.h"
#include "history.h"
#include "line_faults.h"
#include "options.h"

namespace sim {

// One thing the instrument does, in the order given.
struct Action {
    enum class Kind {
        kSend,    // put bytes on the line
        kWait,    // pause before what follows
        kHangUp,  // drop the line, as a pulled cable would
    };
    Kind kind;
    std::string bytes;
    int milliseconds = 0;

    static Action Send(std::string bytes) { return {Kind::kSend, std::move(bytes), 0}; }
    static Action Wait(int milliseconds) { return {Kind::kWait, {}, milliseconds}; }
    static Action HangUp() { return {Kind::kHangUp, {}, 0}; }
    bool operator==(const Action&) const = default;
};

struct InstrumentSettings {
    char mode = '2';
    bool testInProgress = false;
    std::vector<Pause> pauses;
    std::optional<int> hangupAfter;
};

InstrumentSettings SettingsFrom(const Options& options);

// The instrument's side of the exchanges, without any I/O: bytes from the program go in, what
// the instrument does in answer comes out, in order.
//
// "1" sends the identification record and then one test record per ACK; CAN, or an ACK after
// the last record, ends the upload without a word, and a new "1" starts again from the top.
// "8" reports the mode; "9" x switches to mode x (0 to 3) unless a test is in progress, and
// answers with the mode either way. The test flag of every mode reply says whether a test is
// in progress. Other bodies, and bytes outside frames other than the awaited reply, are ignored.
class Instrument {
  public:
    Instrument(History history, InstrumentSettings settings, LineFaults faults = {});

    std::vector<Action> Receive(std::string_view bytes);

    // The program closed the port: whatever it was in the middle of is over.
    void LineDropped();

    char mode() const { return settings_.mode; }
    int uploadsStarted() const { return uploadsStarted_; }

  private:
    void OnFrame(std::string_view body, std::vector<Action>& actions);
    void OnLooseByte(char byte, std::vector<Action>& actions);
    void SendHistoryFrame(int record, std::vector<Action>& actions);
    void SendModeReply(std::vector<Action>& actions);
    void ChangeMode(char mode);

    History history_;
    InstrumentSettings settings_;
    LineFaults faults_;
    CommandScanner scanner_;
    std::optional<int> awaitingReplyTo_;  // the record whose ACK or CAN is due
    int uploadsStarted_ = 0;
};

}  // namespace sim
