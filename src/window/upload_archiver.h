#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/new_tests_verdict.h"
#include "protocol/history.h"

namespace qm4250 {

// What archiving an upload came to, as the window reports it.
struct ArchiveOutcome {
    bool written = false;
    int newTests = 0;
    std::string reason;  // why it was not written
    // Once written: what the archive says of the new tests, or why it could not say.
    std::vector<PartVerdict> verdict;
    std::string verdictNotRead;
};

using ArchiveDone = std::function<void(const ArchiveOutcome&)>;
// Why the archive is being waited for: a failure that may pass, the write to be tried again.
using ArchiveWaitingFor = std::function<void(const std::string& reason)>;

// Keeps every upload that ends with at least one frame. A write can take seconds (a SQLite file
// another program holds, a slow server), so archive() only starts it on a copy of the history;
// `done` runs later on the event thread with the outcome, which the presenter shows in the record
// counter, never in a message box; `waiting` runs there before each new try of a write whose
// failure may pass. Writes run one after the other, in the order started.
class UploadArchiver {
  public:
    virtual ~UploadArchiver() = default;
    virtual void archive(const History& history, int32_t frames, ArchiveWaitingFor waiting,
                         ArchiveDone done) = 0;
};

}  // namespace qm4250
