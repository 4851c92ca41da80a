#include "export/sheet_names.h"

#include <set>
#include <string_view>

#include "formats/utf8.h"

namespace qm4250 {

namespace {

constexpr size_t kMaxNameLength = 31;

bool MayHold(unsigned char c) {
    return c >= 0x20 && (c < 0x7F || c > 0x9F) &&
           std::string_view(":\\/?*[]").find(c) == std::string_view::npos;
}

// The name as Excel compares names: Latin-1 letters in lower case.
std::string Folded(std::string_view latin1) {
    std::string folded(latin1);
    for (char& c : folded) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
            c = static_cast<char>(byte + 0x20);
    }
    return folded;
}

std::string Allowed(std::string_view serial) {
    std::string name(serial.substr(0, kMaxNameLength));
    for (char& c : name) {
        if (!MayHold(static_cast<unsigned char>(c)))
            c = '_';
    }
    if (!name.empty() && name.front() == '\'')
        name.front() = '_';
    if (!name.empty() && name.back() == '\'')
        name.back() = '_';
    if (name.empty())
        return "no serial";
    if (Folded(name) == "history")
        return name + "_";
    return name;
}

}  // namespace

std::vector<std::string> InstrumentSheetNames(const std::vector<std::string>& serials) {
    std::set<std::string> taken;
    std::vector<std::string> names;
    names.reserve(serials.size());
    for (const std::string& serial : serials) {
        std::string base = Allowed(serial);
        std::string name = base;
        for (int copy = 2; taken.count(Folded(name)) > 0; ++copy) {
            std::string suffix = " (" + std::to_string(copy) + ")";
            name = base.substr(0, kMaxNameLength - suffix.size()) + suffix;
        }
        taken.insert(Folded(name));
        names.push_back(Latin1ToUtf8(name));
    }
    return names;
}

}  // namespace qm4250
