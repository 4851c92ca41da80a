#pragma once

#include <string>
#include <string_view>

#include "options.h"

namespace sim {

// The test record body damaged as `kind` says. A field the record lacks is left as it is.
std::string GarbleRecord(std::string_view body, GarbleKind kind);

}  // namespace sim
