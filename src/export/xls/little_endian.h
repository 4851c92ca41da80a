#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qm4250 {

// Both file formats store every number least significant byte first.

inline void PutU8(std::string& out, uint8_t value) {
    out += static_cast<char>(value);
}

// Whole values are appended at once: a cell's record is written 230,000 times in a long history.
inline void PutU16(std::string& out, uint16_t value) {
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    out.append(bytes, sizeof bytes);
}

inline void PutU32(std::string& out, uint32_t value) {
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                          static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
    out.append(bytes, sizeof bytes);
}

inline void SetU32(std::string& out, size_t at, uint32_t value) {
    for (int k = 0; k < 4; ++k)
        out[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
}

}  // namespace qm4250
