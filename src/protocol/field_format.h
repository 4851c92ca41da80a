#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm4250 {

// Seconds since 2004-01-01 00:00:00 on the instrument's clock as "MMM dd/YY HH:MM:SS"
// (18 characters). nullopt when the text is not a number in the 32-bit signed range.
std::optional<std::string> FormatTimeDate(std::string_view seconds);

// The same text for seconds already read, without a heap allocation.
struct TimeDateText {
    char chars[24];
    int size;
    std::string_view view() const { return std::string_view(chars, static_cast<size_t>(size)); }
};
TimeDateText TimeDateOf(int32_t seconds);

// The months as the instrument's clock names them, January first.
inline constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The same moment with its full year, "1935-12-13 20:45:52": it sorts as time runs, and names
// the century a two-digit year leaves open (the clock reaches from 1935 to 2072).
TimeDateText FullDateTimeOf(int32_t seconds);

// Blanks in front of s until it is slen characters long; never cuts.
std::string Pad(std::string_view s, int slen);

// Blanks behind s until it is width characters long; never cuts.
std::string PadRight(std::string_view s, int width);

struct RelayBits {
    bool powerUp;
    const char* bit[5];  // bit[1] .. bit[4]: "On" or "Off"; bit[0] is unused
};

// Whether bit `bit` of a relay field's value is set; a negative value has no bit set.
bool RelayBitSet(int64_t relayValue, int bit);

// "On" or "Off", as the list and the sheet show a relay.
inline const char* OnOffText(bool on) {
    return on ? "On" : "Off";
}

// The relay field's power-up flag (bit 0) and the texts of bits 1 to 4. nullopt when the text
// is not a number in the 16-bit signed range. Negative values have no bit set.
std::optional<RelayBits> RelayText(std::string_view relayField);

}  // namespace qm4250
