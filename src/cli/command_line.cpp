#include "cli/command_line.h"

#include <span>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "protocol/decimal_text.h"

namespace qm4250 {

const char* const kCommandLineHelp =
    "Usage: qm4250-upload\n"
    "       qm4250-upload [--export FILE] [--archive [URL]] [--port N | --device PATH]\n"
    "                     [--count N]\n"
    "       qm4250-upload --list-ports\n"
    "\n"
    "Without arguments, opens the window. With --export, uploads the QM4250's stored test\n"
    "history without a window and saves it to FILE, in the format its extension names\n"
    "(.xls, the default, .xlsx or .csv).\n"
    "\n"
    "  --export FILE   the workbook to write; an existing file is replaced only on success\n"
    "  --archive [URL] also keep the upload in the archive: URL, else QM4250_ARCHIVE, else\n"
    "                  the archive key of ~/.config/qm4250-upload/archive.ini, else that\n"
    "                  of /etc/xdg/qm4250-upload/archive.ini, else\n"
    "                  ~/.local/share/qm4250-upload/archive.sqlite; postgresql://user@host/db\n"
    "                  for a plant's PostgreSQL\n"
    "  --port N        the serial port COMM N (default 1): the device that the environment\n"
    "                  variable QM4250_COMM<N> names, else the one assigned to it in the\n"
    "                  window, else /dev/ttyS<N-1>\n"
    "  --device PATH   the serial device to use instead, for example /dev/ttyUSB0\n"
    "  --count N       stop after N test records (default: all)\n"
    "  --list-ports    list the serial devices present: path, by-id path, description,\n"
    "                  VID:PID and the COMM numbers that open them\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Exit status: 0 saved; 2 bad arguments; 3 the port cannot be opened; 4 no history frame\n"
    "arrived; 5 the file could not be saved; 6 saved, but the archive was not written; 7 the\n"
    "port closed during the upload: what arrived is saved, but the history is cut short.\n";

namespace {

constexpr std::string_view kValueOptions[] = {"--export", "--port", "--device", "--count"};
constexpr std::string_view kActionOptions[] = {"--help", "--version", "--list-ports"};
// Takes a value when one follows it.
constexpr std::string_view kArchiveOption = "--archive";

bool TakesAValue(std::string_view option) {
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), option) !=
           std::end(kValueOptions);
}

std::optional<int64_t> WholeNumber(const std::string& text, int64_t lowest) {
    std::optional<DecimalValue> value = ParseDecimal(text);
    if (!value || !value->whole || value->rounded < lowest || value->rounded > INT32_MAX)
        return std::nullopt;
    return value->rounded;
}

CommandLine WithAction(CommandLine::Action action) {
    CommandLine line;
    line.action = action;
    return line;
}

CommandLine Invalid(std::string error) {
    CommandLine invalid = WithAction(CommandLine::Action::Invalid);
    invalid.error = std::move(error);
    return invalid;
}

}  // namespace

bool IsCommandLineOption(std::string_view argument) {
    return TakesAValue(argument) || argument == kArchiveOption ||
           std::find(std::begin(kActionOptions), std::end(kActionOptions), argument) !=
               std::end(kActionOptions);
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool portGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help")
            return WithAction(CommandLine::Action::Help);
        if (option == "--version")
            return WithAction(CommandLine::Action::Version);
        if (option == "--list-ports")
            return WithAction(CommandLine::Action::ListPorts);
        if (option == kArchiveOption) {
            line.archive = true;
            if (i + 1 < arguments.size() && arguments[i + 1].rfind("-", 0) != 0)
                line.archiveUrl = arguments[++i];
            continue;
        }
        if (!TakesAValue(option))
            return Invalid("unknown option " + option);
        if (i + 1 == arguments.size())
            return Invalid(option + " needs a value");
        const std::string& value = arguments[++i];
        if (option == "--export") {
            line.exportFile = value;
        } else if (option == "--device") {
            line.device = value;
        } else if (option == "--port") {
            std::optional<int64_t> port = WholeNumber(value, 1);
            if (!port)
                return Invalid("--port takes a port number from 1 on, not " + value);
            line.port = static_cast<int>(*port);
            portGiven = true;
        } else {
            if (!WholeNumber(value, 0))
                return Invalid("--count takes a whole number, not " + value);
            line.count = value;
        }
    }
    if (arguments.empty())
        return line;
    if (line.exportFile.empty() && !line.archive)
        return Invalid("--export FILE or --archive is missing");
    if (portGiven && !line.device.empty())
        return Invalid("--port and --device exclude each other");
    line.action = CommandLine::Action::Export;
    return line;
}

namespace {

// QGuiApplication's, QApplication's and the X11 platform's options, as Qt documents them; Qt
// takes each with one dash or two.
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "style",         "stylesheet"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount"};

bool IsOneOf(std::string_view name, std::span<const std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::optional<std::string> FirstUnknownWindowArgument(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument.empty() || argument[0] != '-')
            return arguments[i];
        std::string_view name = argument.substr(argument.rfind("--", 0) == 0 ? 2 : 1);
        std::string_view beforeEquals = name.substr(0, name.find('='));
        if (IsOneOf(name, kQtOptionsWithValue) && i + 1 < arguments.size()) {
            ++i;
            continue;
        }
        bool valueAfterEquals =
            beforeEquals.size() < name.size() &&
            (IsOneOf(beforeEquals, kQtOptionsWithValue) || beforeEquals == "qmljsdebugger");
        if (IsOneOf(name, kQtFlags) || valueAfterEquals)
            continue;
        return arguments[i];
    }
    return std::nullopt;
}

}  // namespace qm4250
