#pragma once

#include <cstdio>
#include <string>

#include "archive/archive_retry.h"

namespace qm4250 {

// Says once, when a write starts to wait out a failure that may pass, what it waits for:
// "<lead>waiting for the archive (up to 60 s): <reason>". The tries after it say nothing more,
// so a nightly log keeps one line for a server restarted.
ArchiveWaiting WaitingLine(std::FILE* out, std::string lead, int patienceMs);

}  // namespace qm4250
