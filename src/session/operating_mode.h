#pragma once

#include <string_view>

namespace qm4250 {

struct HandlerContext;

// Get Mode: asks the instrument for its operating mode.
void GetMode(HandlerContext& context);

// Change Mode: asks the instrument to switch to the mode the operator selected ("?" for none).
void ChangeMode(HandlerContext& context);

// Reports the mode that a mode reply body ("8", mode character, test flag) names, and a test in
// progress that kept the instrument from changing it.
void ParseModeReply(std::string_view body, HandlerContext& context);

}  // namespace qm4250
