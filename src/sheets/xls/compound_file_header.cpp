#include "sheets/xls/compound_file_header.h"

#include <string_view>

#include "sheets/xls/byte_fields.h"
#include "sheets/xls/file_bytes.h"

namespace qm4250 {

namespace {

constexpr size_t kHeaderSize = 512;
constexpr std::string_view kSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr uint16_t kLittleEndian = 0xFFFE;

}  // namespace

SheetReadResult ReadCompoundFileHeader(int fd, uint64_t fileSize, CompoundFileHeader& header) {
    char bytes[kHeaderSize];
    if (fileSize < kHeaderSize)
        return Damaged("not a compound file");
    if (SheetReadResult error = ReadFileBytes(fd, fileSize, 0, bytes, kHeaderSize, "the header"))
        return error;
    if (std::string_view(bytes, kSignature.size()) != kSignature)
        return Damaged("not a compound file");
    if (U16At(bytes + 0x1C) != kLittleEndian)
        return Damaged("the compound file header has no little-endian mark");
    uint16_t majorVersion = U16At(bytes + 0x1A);
    uint16_t sectorShift = U16At(bytes + 0x1E);
    if (!(majorVersion == 3 && sectorShift == 9) && !(majorVersion == 4 && sectorShift == 12))
        return Damaged("the compound file has an unknown version or sector size");
    if (U16At(bytes + 0x20) != 6)
        return Damaged("the compound file's mini sectors are not 64 bytes");
    if (U32At(bytes + 0x38) != cfb::kMiniStreamCutoff)
        return Damaged("the compound file's mini stream cutoff is not 4,096 bytes");
    header.sectorShift = sectorShift;
    header.fatSectors = U32At(bytes + 0x2C);
    header.firstDirectorySector = U32At(bytes + 0x30);
    header.firstMiniFatSector = U32At(bytes + 0x3C);
    header.firstDifatSector = U32At(bytes + 0x44);
    header.difatSectors = U32At(bytes + 0x48);
    for (size_t k = 0; k < cfb::kHeaderDifatEntries; ++k)
        header.headerDifat[k] = U32At(bytes + 0x4C + 4 * k);
    return std::nullopt;
}

}  // namespace qm4250
