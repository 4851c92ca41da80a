#pragma once

#include <cstdint>

namespace qm4250 {

// Both formats store numbers least significant byte first, at any alignment. The caller has
// checked that the bytes are there.

inline uint16_t U16At(const char* bytes) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) | static_cast<uint8_t>(bytes[1])
                                                                      << 8);
}

inline uint32_t U32At(const char* bytes) {
    return U16At(bytes) | static_cast<uint32_t>(U16At(bytes + 2)) << 16;
}

inline uint64_t U64At(const char* bytes) {
    return U32At(bytes) | static_cast<uint64_t>(U32At(bytes + 4)) << 32;
}

}  // namespace qm4250
