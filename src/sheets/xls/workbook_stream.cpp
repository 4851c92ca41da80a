#include "sheets/xls/workbook_stream.h"

#include <string>

#include "sheets/xls/directory.h"
#include "sheets/xls/mini_stream.h"

namespace qm4250 {

namespace {

constexpr const char* kName = "the Workbook stream";
// Large enough that reading costs one system call per 256 KiB of a stream in one run.
constexpr size_t kReadBuffer = 256 * 1024;

}  // namespace

SheetReadResult OpenWorkbookStream(SectorTable& sectors, const CompoundFileHeader& header,
                                   std::optional<StreamReader>& stream) {
    WorkbookEntries entries;
    if (SheetReadResult error = FindWorkbookStream(sectors, header, entries))
        return error;
    const StreamEntry& workbook = entries.workbook;
    if (workbook.size < cfb::kMiniStreamCutoff) {
        std::string bytes;
        if (SheetReadResult error =
                ReadSmallStream(sectors, header, entries.miniStream, workbook, kName, bytes))
            return error;
        stream.emplace(std::move(bytes), kName);
        return std::nullopt;
    }
    uint32_t length;
    if (SheetReadResult error = sectors.chainLength(workbook.firstSector, kName, length))
        return error;
    if (uint64_t{length} * sectors.sectorSize() < workbook.size)
        return Damaged("the FAT chain of the Workbook stream is shorter than the stream");
    stream.emplace(sectors, workbook.firstSector, workbook.size, kName, kReadBuffer);
    return std::nullopt;
}

}  // namespace qm4250
