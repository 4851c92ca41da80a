#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "sheets/sheet_rows.h"
#include "sheets/xls/compound_file_header.h"

namespace qm4250 {

// The sectors of a compound file and the FAT that chains them into streams. Only the list of FAT
// sectors is held (4 bytes for each 64 KiB of the file, at most 16 MiB); FAT sectors are read as
// chains reach them, and the last few are kept.
class SectorTable {
  public:
    SectorTable(int fd, uint64_t fileSize, unsigned sectorShift);

    // Reads the list of FAT sectors: the header's part and the DIFAT sectors chained after it.
    SheetReadResult readDifat(const CompoundFileHeader& header);

    uint32_t sectorSize() const { return uint32_t{1} << sectorShift_; }
    // Sectors with at least one byte in the file; no chain can hold more.
    uint32_t sectorCount() const { return sectorCount_; }
    uint64_t sectorOffset(uint32_t sector) const { return (uint64_t{sector} + 1) << sectorShift_; }

    // The sector after `sector` in its chain, as the FAT says: not checked.
    SheetReadResult next(uint32_t sector, uint32_t& next);
    // Damaged unless `sector`, a link of the chain of `what`, is one of the file's sectors.
    SheetReadResult checkLink(uint32_t sector, std::string_view what) const;
    // The number of sectors in the chain of `what` from `first` to its end: Damaged when the
    // chain leaves the file's sectors or loops.
    SheetReadResult chainLength(uint32_t first, std::string_view what, uint32_t& length);

    // Reads `size` bytes of the file at `offset`, as ReadFileBytes does.
    SheetReadResult read(uint64_t offset, char* out, size_t size, std::string_view what) const;

  private:
    static constexpr size_t kCachedFatSectors = 16;
    static constexpr uint32_t kNotCached = 0xFFFFFFFF;

    uint32_t entriesPerSector() const { return sectorSize() / 4; }

    int fd_;
    uint64_t fileSize_;
    unsigned sectorShift_;
    uint32_t sectorCount_;
    std::vector<uint32_t> fatSectors_;
    // FAT sector k sits in slot k % kCachedFatSectors when cached.
    std::array<uint32_t, kCachedFatSectors> cachedFatSector_;
    std::vector<char> cache_;
};

}  // namespace qm4250
