#include "window/settings_file.h"

#include <cstdint>
#include <cstdio>

#include "protocol/decimal_text.h"

namespace qm4250 {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool EndsLine(char c) {
    return c == '\r' || c == '\n';
}

// The first field of a comma-delimited line: a quoted field runs to the next quote, any other to
// the first comma or the end of the line, without its trailing blanks.
std::string FirstField(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
        return std::string(text.substr(0, text.find('"')));
    }
    std::size_t end = 0;
    while (end < text.size() && text[end] != ',' && !EndsLine(text[end]))
        ++end;
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return std::string(text.substr(0, end));
}

}  // namespace

std::string SettingsPath(std::string_view applicationFolder) {
    return std::string(applicationFolder) + "HISTPARAMS.DAT";
}

std::optional<int> ReadPortSetting(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    // Only the first line matters; a folder in the file's place reads as nothing.
    char firstBytes[256];
    std::size_t size = std::fread(firstBytes, 1, sizeof firstBytes, file);
    std::fclose(file);
    std::string_view text(firstBytes, size);
    std::optional<int64_t> port = DecimalToInteger(FirstField(text), INT16_MIN, INT16_MAX);
    if (!port)
        return std::nullopt;
    return static_cast<int>(*port);
}

bool WritePortSetting(const std::string& path, int portNumber) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fprintf(file, "\"%d\"\r\n", portNumber) > 0;
    bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace qm4250
