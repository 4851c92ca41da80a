#pragma once

#include <cstddef>
#include <cstdint>

namespace qm4250 {

// The numbers of the Compound File format that its writer and its reader share.
namespace cfb {

// Sector numbers past kMaxRegularSector have meanings of their own.
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;

// The header lists the first FAT sectors itself; DIFAT sectors list the rest.
constexpr size_t kHeaderDifatEntries = 109;

// Streams shorter than this live in the mini stream, in 64-byte mini sectors.
constexpr uint64_t kMiniStreamCutoff = 4096;
constexpr uint32_t kMiniSectorSize = 64;

}  // namespace cfb

}  // namespace qm4250
