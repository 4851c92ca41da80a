#pragma once

#include <string>

// A /proc/self/status value in kB, such as VmRSS or VmHWM; -1 when missing.
long ProcStatusKb(const std::string& field);
