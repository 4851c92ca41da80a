#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sheets/sheet_rows.h"
#include "sheets/xls/sector_table.h"

namespace qm4250 {

// The bytes of one stream, in order. A stream in regular sectors is read through a buffer of a
// fixed size, each fill one read of a run of consecutive sectors, so a stream of any length
// takes the same memory. Each link is checked as the chain is followed; loops must have been
// ruled out before (SectorTable::ChainLength), or a stream is read round them up to its size.
class StreamReader {
  public:
    StreamReader(SectorTable& sectors, uint32_t firstSector, uint64_t size, std::string name,
                 size_t bufferSize);
    // A stream already read whole (a small one, from the mini stream).
    StreamReader(std::string bytes, std::string name);

    // Names the stream in errors: "the Workbook stream".
    const std::string& name() const { return name_; }
    uint64_t size() const { return size_; }
    uint64_t position() const { return position_; }
    uint64_t remaining() const { return size_ - position_; }

    // Copies the next `count` bytes to `out`: Damaged when fewer remain.
    SheetReadResult read(char* out, size_t count);
    // Moves to `position`, at most the size. Going back starts again from the first sector.
    SheetReadResult seek(uint64_t position);

  private:
    SheetReadResult fill();

    SectorTable* sectors_;  // null when the bytes are held whole
    uint32_t firstSector_;
    uint64_t size_;
    std::string name_;
    std::vector<char> buffer_;
    uint64_t bufferStart_ = 0;  // the stream position of buffer_[0]
    size_t bufferLength_ = 0;
    uint64_t position_ = 0;
    // The chain is followed ahead of the buffer: the sector that holds the stream from
    // chainPosition_ on, a multiple of the sector size.
    uint32_t chainSector_;
    uint64_t chainPosition_ = 0;
};

}  // namespace qm4250
