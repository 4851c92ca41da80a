#include "sheets/xls/mini_stream.h"

#include <algorithm>
#include <vector>

#include "sheets/xls/byte_fields.h"
#include "sheets/xls/stream_reader.h"

namespace qm4250 {

namespace {

// Mini sectors and MiniFAT entries are read one at a time, a sector's worth at most.
StreamReader ChainedStream(SectorTable& sectors, uint32_t first, uint64_t size, const char* name) {
    return StreamReader(sectors, first, size, name, sectors.sectorSize());
}

}  // namespace

SheetReadResult ReadSmallStream(SectorTable& sectors, const CompoundFileHeader& header,
                                const StreamEntry& miniStream, const StreamEntry& stream,
                                std::string_view name, std::string& bytes) {
    uint32_t miniStreamSectors, miniFatSectors;
    if (SheetReadResult error =
            sectors.chainLength(miniStream.firstSector, "the mini stream", miniStreamSectors))
        return error;
    if (uint64_t{miniStreamSectors} * sectors.sectorSize() < miniStream.size)
        return Damaged("the FAT chain of the mini stream is shorter than the stream");
    if (SheetReadResult error =
            sectors.chainLength(header.firstMiniFatSector, "the MiniFAT", miniFatSectors))
        return error;
    StreamReader miniSectors =
        ChainedStream(sectors, miniStream.firstSector, miniStream.size, "the mini stream");
    StreamReader miniFat =
        ChainedStream(sectors, header.firstMiniFatSector,
                      uint64_t{miniFatSectors} * sectors.sectorSize(), "the MiniFAT");
    std::string chain = "the MiniFAT chain of " + std::string(name);
    // At most 64 mini sectors: those seen are simply listed.
    std::vector<uint32_t> seen;
    bytes.clear();
    for (uint32_t sector = stream.firstSector; bytes.size() < stream.size;) {
        if (sector == cfb::kEndOfChain)
            return Damaged(chain + " is shorter than the stream");
        if (std::find(seen.begin(), seen.end(), sector) != seen.end())
            return Damaged(chain + " loops");
        seen.push_back(sector);
        uint64_t at = uint64_t{sector} * cfb::kMiniSectorSize;
        size_t length = static_cast<size_t>(
            std::min<uint64_t>(cfb::kMiniSectorSize, stream.size - bytes.size()));
        if (at + length > miniStream.size)
            return Damaged(chain + " runs past the end of the mini stream");
        size_t end = bytes.size();
        bytes.resize(end + length);
        if (SheetReadResult error = miniSectors.seek(at))
            return error;
        if (SheetReadResult error = miniSectors.read(bytes.data() + end, length))
            return error;
        if (bytes.size() == stream.size)
            break;
        char next[4];
        if (uint64_t{sector} * 4 + 4 > miniFat.size())
            return Damaged(chain + " runs past the end of the MiniFAT");
        if (SheetReadResult error = miniFat.seek(uint64_t{sector} * 4))
            return error;
        if (SheetReadResult error = miniFat.read(next, 4))
            return error;
        sector = U32At(next);
    }
    return std::nullopt;
}

}  // namespace qm4250
