#pragma once

#include <optional>
#include <string>

#include "protocol/operating_mode.h"

namespace qm4250 {

// What the handlers ask of the operator, at the moment they need it.
class OperatorInput {
  public:
    virtual ~OperatorInput() = default;

    // The number of test records asked for, as typed; read afresh after every history frame, so
    // an edit takes effect at once.
    virtual std::string requestedCount() const = 0;
    // The mode Change Mode asks for; none when no mode is selected.
    virtual std::optional<OperatingMode> selectedMode() const = 0;
    // The file SAVE writes; empty when the operator cancels.
    virtual std::string chooseSaveFileName() = 0;
};

}  // namespace qm4250
