#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "formats/compound_file_format.h"
#include "sheets/sheet_rows.h"

namespace qm4250 {

// What the 512-byte header of a compound file says about the rest of it.
struct CompoundFileHeader {
    unsigned sectorShift;  // 9: 512-byte sectors (version 3); 12: 4,096 (version 4)
    uint32_t fatSectors;
    uint32_t firstDirectorySector;
    uint32_t firstMiniFatSector;
    uint32_t firstDifatSector;
    uint32_t difatSectors;
    std::array<uint32_t, cfb::kHeaderDifatEntries> headerDifat;

    // Version 3 writers may leave anything in the high half of a stream's 64-bit size.
    bool wideStreamSizes() const { return sectorShift == 12; }
};

// Reads the header of the file `fd` of `fileSize` bytes and checks what the rest relies on.
SheetReadResult ReadCompoundFileHeader(int fd, uint64_t fileSize, CompoundFileHeader& header);

}  // namespace qm4250
