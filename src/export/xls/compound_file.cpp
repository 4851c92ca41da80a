#include "export/xls/compound_file.h"

#include <cstdint>
#include <vector>

#include "export/xls/little_endian.h"
#include "formats/compound_file_format.h"

namespace qm4250 {

namespace {

constexpr size_t kSectorSize = 512;
constexpr size_t kIdsPerSector = kSectorSize / 4;
// A DIFAT sector holds 127 FAT sector numbers and the number of the next DIFAT sector.
constexpr size_t kFatSlotsPerDifatSector = kIdsPerSector - 1;

constexpr uint32_t kNoStream = 0xFFFFFFFF;

// Sectors in file order: the stream, the one directory sector, the FAT, then the DIFAT.
struct Layout {
    size_t streamSectors;
    size_t directorySector;
    size_t fatSectors;
    size_t difatSectors;

    size_t FirstFatSector() const { return directorySector + 1; }
    size_t FirstDifatSector() const { return FirstFatSector() + fatSectors; }
    size_t TotalSectors() const { return FirstDifatSector() + difatSectors; }
};

size_t DifatSectorsFor(size_t fatSectors) {
    if (fatSectors <= cfb::kHeaderDifatEntries)
        return 0;
    return (fatSectors - cfb::kHeaderDifatEntries + kFatSlotsPerDifatSector - 1) /
           kFatSlotsPerDifatSector;
}

// The FAT must describe every sector, its own and the DIFAT's included.
Layout LayoutFor(size_t streamSize) {
    Layout layout{(streamSize + kSectorSize - 1) / kSectorSize, 0, 1, 0};
    layout.directorySector = layout.streamSectors;
    while (layout.fatSectors * kIdsPerSector < layout.TotalSectors()) {
        ++layout.fatSectors;
        layout.difatSectors = DifatSectorsFor(layout.fatSectors);
    }
    return layout;
}

void PadToSector(std::string& file) {
    file.resize((file.size() + kSectorSize - 1) / kSectorSize * kSectorSize, '\0');
}

void AppendHeader(std::string& file, const Layout& layout) {
    file += "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    file.append(16, '\0');  // class id
    PutU16(file, 0x003E);   // minor version
    PutU16(file, 0x0003);   // major version: 512-byte sectors
    PutU16(file, 0xFFFE);   // little-endian
    PutU16(file, 9);        // sector size 2^9
    PutU16(file, 6);        // mini sector size 2^6
    file.append(6, '\0');
    PutU32(file, 0);  // directory sectors are not counted in version 3
    PutU32(file, static_cast<uint32_t>(layout.fatSectors));
    PutU32(file, static_cast<uint32_t>(layout.directorySector));
    PutU32(file, 0);  // transaction signature
    PutU32(file, static_cast<uint32_t>(cfb::kMiniStreamCutoff));
    PutU32(file, cfb::kEndOfChain);  // no mini FAT
    PutU32(file, 0);
    PutU32(file, layout.difatSectors ? static_cast<uint32_t>(layout.FirstDifatSector())
                                     : cfb::kEndOfChain);
    PutU32(file, static_cast<uint32_t>(layout.difatSectors));
    for (size_t slot = 0; slot < cfb::kHeaderDifatEntries; ++slot)
        PutU32(file, slot < layout.fatSectors
                         ? static_cast<uint32_t>(layout.FirstFatSector() + slot)
                         : cfb::kFreeSector);
}

void AppendDirectoryEntry(std::string& file, std::u16string_view name, uint8_t type, uint32_t child,
                          uint32_t startSector, uint32_t size) {
    size_t start = file.size();
    for (char16_t c : name)
        PutU16(file, c);
    file.resize(start + 64, '\0');
    PutU16(file, static_cast<uint16_t>(name.empty() ? 0 : (name.size() + 1) * 2));
    PutU8(file, type);
    PutU8(file, 1);  // black: the tree has one node per level
    PutU32(file, kNoStream);
    PutU32(file, kNoStream);
    PutU32(file, child);
    file.append(16 + 4 + 8 + 8, '\0');  // class id, state bits, times
    PutU32(file, startSector);
    PutU32(file, size);
    PutU32(file, 0);
}

void AppendDirectory(std::string& file, uint32_t streamSize) {
    AppendDirectoryEntry(file, u"Root Entry", 5, 1, cfb::kEndOfChain, 0);
    AppendDirectoryEntry(file, u"Workbook", 2, kNoStream, 0, streamSize);
    AppendDirectoryEntry(file, u"", 0, kNoStream, 0, 0);
    AppendDirectoryEntry(file, u"", 0, kNoStream, 0, 0);
}

void AppendFat(std::string& file, const Layout& layout) {
    for (size_t sector = 0; sector + 1 < layout.streamSectors; ++sector)
        PutU32(file, static_cast<uint32_t>(sector + 1));
    PutU32(file, cfb::kEndOfChain);  // the stream's last sector
    PutU32(file, cfb::kEndOfChain);  // the directory
    for (size_t k = 0; k < layout.fatSectors; ++k)
        PutU32(file, cfb::kFatSector);
    for (size_t k = 0; k < layout.difatSectors; ++k)
        PutU32(file, cfb::kDifatSector);
    for (size_t k = layout.TotalSectors(); k < layout.fatSectors * kIdsPerSector; ++k)
        PutU32(file, cfb::kFreeSector);
}

// The FAT sectors that do not fit in the header, 127 to a sector, chained.
void AppendDifat(std::string& file, const Layout& layout) {
    size_t fatSlot = cfb::kHeaderDifatEntries;
    for (size_t k = 0; k < layout.difatSectors; ++k) {
        for (size_t slot = 0; slot < kFatSlotsPerDifatSector; ++slot, ++fatSlot)
            PutU32(file, fatSlot < layout.fatSectors
                             ? static_cast<uint32_t>(layout.FirstFatSector() + fatSlot)
                             : cfb::kFreeSector);
        bool last = k + 1 == layout.difatSectors;
        PutU32(file,
               last ? cfb::kEndOfChain : static_cast<uint32_t>(layout.FirstDifatSector() + k + 1));
    }
}

}  // namespace

// The parts go straight into the file: joining them first would copy the whole stream once more.
std::string BuildCompoundFile(std::span<const std::string_view> workbookStreamParts) {
    size_t streamSize = 0;
    for (std::string_view part : workbookStreamParts)
        streamSize += part.size();
    Layout layout = LayoutFor(streamSize);
    std::string file;
    file.reserve((layout.TotalSectors() + 1) * kSectorSize);
    AppendHeader(file, layout);
    for (std::string_view part : workbookStreamParts)
        file += part;
    PadToSector(file);
    AppendDirectory(file, static_cast<uint32_t>(streamSize));
    AppendFat(file, layout);
    AppendDifat(file, layout);
    return file;
}

}  // namespace qm4250
