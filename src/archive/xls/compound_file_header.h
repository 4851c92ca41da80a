#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "archive/sheet_rows.h"

namespace qm4250 {

// Sector numbers past this one have meanings of their own.
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;

// Streams shorter than this live in the mini stream, in 64-byte mini sectors.
constexpr uint64_t kMiniStreamCutoff = 4096;
constexpr uint32_t kMiniSectorSize = 64;

// The header lists the first FAT sectors itself; DIFAT sectors list the rest.
constexpr size_t kHeaderDifatEntries = 109;

// What the 512-byte header of a compound file says about the rest of it.
struct CompoundFileHeader {
    unsigned sectorShift;  // 9: 512-byte sectors (version 3); 12: 4,096 (version 4)
    uint32_t fatSectors;
    uint32_t firstDirectorySector;
    uint32_t firstMiniFatSector;
    uint32_t firstDifatSector;
    uint32_t difatSectors;
    std::array<uint32_t, kHeaderDifatEntries> headerDifat;

    // Version 3 writers may leave anything in the high half of a stream's 64-bit size.
    bool wideStreamSizes() const { return sectorShift == 12; }
};

// Reads the header of the file `fd` of `fileSize` bytes and checks what the rest relies on.
SheetReadResult ReadCompoundFileHeader(int fd, uint64_t fileSize, CompoundFileHeader& header);

}  // namespace qm4250
