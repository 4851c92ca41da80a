#pragma once

#include <string_view>

struct HandlerContext;
class View;

inline constexpr const char* kModePortFailure = "Can't open comm port!";
inline constexpr const char* kTestInProgress = "Test is in progress! Mode cannot be changed";

// Get Mode: asks the instrument for its operating mode.
void GetMode(HandlerContext& context);

// Change Mode: asks the instrument to switch to the mode selected on the window ("?" for none).
void ChangeMode(HandlerContext& context);

// Shows the mode that a mode reply body ("8", mode character, test flag) reports, and tells the
// operator when a test in progress kept the instrument from changing it.
void ParseModeReply(std::string_view body, View& view);
