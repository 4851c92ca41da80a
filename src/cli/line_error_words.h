#pragma once

#include "session/session_events.h"

namespace qm4250 {

// What a line error is called on the command line's "line error: …" line: the window's words for
// it, without its "Error - " (a test holds the two to one wording).
const char* LineErrorWords(LineError error);

}  // namespace qm4250
