#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm4250 {

// What the command line asks for. With no arguments the program opens its window.
struct CommandLine {
    enum class Action { Window, Help, Version, ListPorts, Export, Invalid };
    Action action = Action::Window;
    std::string exportFile;
    int port = 1;            // COMM n, mapped to a device as in the window
    std::string device;      // a device path instead of a port number
    std::string count;       // as typed in "Number Values To Get"; empty for all
    bool archive = false;    // keep the upload in the archive too
    std::string archiveUrl;  // where; empty for the configured archive
    std::string error;       // why the arguments are invalid
};

// Exit statuses of an upload without a window.
inline constexpr int kExitSaved = 0;
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitPortFailure = 3;
inline constexpr int kExitNoResponse = 4;  // no history frame, whatever else arrived
inline constexpr int kExitNotSaved = 5;
inline constexpr int kExitNotArchived = 6;
inline constexpr int kExitCutShort = 7;  // the port closed mid-upload; what arrived is saved

// Whether an argument is one of this program's own options. Only these start the mode without
// a window: every other argument is left to Qt (-session, -style, -platform, -display, ...).
bool IsCommandLineOption(std::string_view argument);

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The first of the window's arguments that neither Qt's documented options (-style, -platform,
// -session, -display …, with their values) nor this program take. Checked before Qt starts, so
// that a mistyped option is reported even where no display can be opened.
std::optional<std::string> FirstUnknownWindowArgument(const std::vector<std::string>& arguments);

extern const char* const kCommandLineHelp;

}  // namespace qm4250
