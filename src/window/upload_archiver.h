#pragma once

#include <cstdint>
#include <string>

#include "protocol/history.h"

namespace qm4250 {

// What archiving an upload came to, as the window reports it.
struct ArchiveOutcome {
    bool written = false;
    int newTests = 0;
    std::string reason;  // why it was not written
};

// Keeps every upload that ends with at least one frame; the presenter calls it and shows the
// outcome in the record counter, never in a message box.
class UploadArchiver {
  public:
    virtual ~UploadArchiver() = default;
    virtual ArchiveOutcome archive(const History& history, int32_t frames) = 0;
};

}  // namespace qm4250
