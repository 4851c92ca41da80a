#include "sheets/xls/sector_table.h"

#include <algorithm>
#include <string>

#include "sheets/xls/byte_fields.h"
#include "sheets/xls/file_bytes.h"

namespace qm4250 {

namespace {

// The list of FAT sectors stays within 16 MiB: a version 3 file of 256 GiB, or any version 4
// file.
constexpr uint32_t kMaxFatSectors = uint32_t{1} << 22;

std::string Chain(std::string_view what) {
    return "the FAT chain of " + std::string(what);
}

}  // namespace

SectorTable::SectorTable(int fd, uint64_t fileSize, unsigned sectorShift)
    : fd_(fd), fileSize_(fileSize), sectorShift_(sectorShift) {
    uint64_t size = sectorSize();
    uint64_t sectors = fileSize > size ? (fileSize - size + size - 1) / size : 0;
    sectorCount_ =
        static_cast<uint32_t>(std::min<uint64_t>(sectors, uint64_t{cfb::kMaxRegularSector} + 1));
    cachedFatSector_.fill(kNotCached);
    cache_.resize(kCachedFatSectors * size);
}

SheetReadResult SectorTable::readDifat(const CompoundFileHeader& header) {
    if (header.fatSectors > sectorCount_)
        return Damaged("the FAT is longer than the file can hold");
    if (header.difatSectors > sectorCount_)
        return Damaged("the DIFAT is longer than the file can hold");
    // FAT sectors past those that describe the file's own sectors have nothing to say.
    uint32_t needed = static_cast<uint32_t>((uint64_t{sectorCount_} + entriesPerSector() - 1) /
                                            entriesPerSector());
    uint32_t kept = std::min(header.fatSectors, needed);
    if (kept > kMaxFatSectors)
        return TooLarge("the file is larger than 256 GiB");
    fatSectors_.reserve(kept);
    auto keep = [&](uint32_t fatSector) -> SheetReadResult {
        if (fatSectors_.size() == kept)
            return std::nullopt;
        if (fatSector >= sectorCount_)
            return Damaged("a FAT sector lies past the end of the file");
        fatSectors_.push_back(fatSector);
        return std::nullopt;
    };
    for (uint32_t fatSector : header.headerDifat) {
        if (SheetReadResult error = keep(fatSector))
            return error;
    }
    // Each DIFAT sector lists FAT sectors and ends with the number of the next DIFAT sector.
    std::vector<char> difat(sectorSize());
    uint32_t sector = header.firstDifatSector;
    for (uint32_t k = 0; k < header.difatSectors; ++k) {
        if (sector > cfb::kMaxRegularSector)
            return Damaged("the DIFAT chain ends before its count of sectors");
        if (sector >= sectorCount_)
            return Damaged("the DIFAT chain runs past the end of the file");
        if (SheetReadResult error =
                read(sectorOffset(sector), difat.data(), difat.size(), "a DIFAT sector"))
            return error;
        for (uint32_t entry = 0; entry + 1 < entriesPerSector(); ++entry) {
            if (SheetReadResult error = keep(U32At(difat.data() + 4 * entry)))
                return error;
        }
        sector = U32At(difat.data() + difat.size() - 4);
    }
    // A chain that loops never ends, so it cannot end after its count.
    if (header.difatSectors > 0 && sector != cfb::kEndOfChain && sector != cfb::kFreeSector)
        return Damaged("the DIFAT chain loops or runs past its count of sectors");
    if (fatSectors_.size() < kept)
        return Damaged("the DIFAT lists fewer FAT sectors than the header counts");
    return std::nullopt;
}

SheetReadResult SectorTable::next(uint32_t sector, uint32_t& next) {
    if (sector >= sectorCount_)
        return Damaged("a FAT chain runs past the end of the file");
    uint32_t fatIndex = sector / entriesPerSector();
    if (fatIndex >= fatSectors_.size())
        return Damaged("a FAT chain reaches past the end of the FAT");
    size_t slot = fatIndex % kCachedFatSectors;
    char* entries = cache_.data() + slot * sectorSize();
    if (cachedFatSector_[slot] != fatIndex) {
        cachedFatSector_[slot] = kNotCached;
        if (SheetReadResult error =
                read(sectorOffset(fatSectors_[fatIndex]), entries, sectorSize(), "a FAT sector"))
            return error;
        cachedFatSector_[slot] = fatIndex;
    }
    next = U32At(entries + 4 * (sector % entriesPerSector()));
    return std::nullopt;
}

SheetReadResult SectorTable::checkLink(uint32_t sector, std::string_view what) const {
    if (sector == cfb::kEndOfChain)
        return Damaged(Chain(what) + " ends early");
    if (sector > cfb::kMaxRegularSector)
        return Damaged(Chain(what) + " is broken");
    if (sector >= sectorCount_)
        return Damaged(Chain(what) + " runs past the end of the file");
    return std::nullopt;
}

SheetReadResult SectorTable::chainLength(uint32_t first, std::string_view what, uint32_t& length) {
    // The FAT gives each sector one successor, so a chain that comes back to a sector goes
    // round forever: one longer than the file's sectors loops.
    uint64_t links = 0;
    for (uint32_t sector = first; sector != cfb::kEndOfChain;) {
        if (SheetReadResult error = checkLink(sector, what))
            return error;
        if (++links > sectorCount_)
            return Damaged(Chain(what) + " loops");
        if (SheetReadResult error = next(sector, sector))
            return error;
    }
    length = static_cast<uint32_t>(links);
    return std::nullopt;
}

SheetReadResult SectorTable::read(uint64_t offset, char* out, size_t size,
                                  std::string_view what) const {
    return ReadFileBytes(fd_, fileSize_, offset, out, size, what);
}

}  // namespace qm4250
