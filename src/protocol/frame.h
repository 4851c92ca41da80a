#pragma once

#include <string>
#include <string_view>

namespace qm4250 {

inline constexpr char STX = '\x02';
inline constexpr char ETX = '\x03';
inline constexpr char ACK = '\x06';
inline constexpr char CAN = '\x18';

inline constexpr std::string_view kAckText{"\x06", 1};
inline constexpr std::string_view kCanText{"\x18", 1};

// Command frames: STX, body, ETX; no length, address or checksum.
inline constexpr std::string_view kHistoryCommand = "\x02\x31\x03";  // body "1"
inline constexpr std::string_view kGetModeCommand = "\x02\x38\x03";  // body "8"
std::string ChangeModeCommand(char modeCharacter);

}  // namespace qm4250
