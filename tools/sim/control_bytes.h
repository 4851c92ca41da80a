#pragma once

namespace sim {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
inline constexpr char kAck = '\x06';
inline constexpr char kCan = '\x18';

}  // namespace sim
