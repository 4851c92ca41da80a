#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Both file formats store every number least significant byte first.

inline void PutU8(std::string& out, uint8_t value) {
    out += static_cast<char>(value);
}

inline void PutU16(std::string& out, uint16_t value) {
    PutU8(out, value & 0xFF);
    PutU8(out, value >> 8);
}

inline void PutU32(std::string& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

inline void SetU32(std::string& out, size_t at, uint32_t value) {
    for (int k = 0; k < 4; ++k)
        out[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
}
