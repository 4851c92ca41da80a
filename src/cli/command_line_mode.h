#pragma once

namespace qm4250 {

// Runs the program as its command line asks when it has arguments (help, version, or an upload
// without a window); returns the exit status.
int RunCommandLine(int argc, char* argv[]);

}  // namespace qm4250
