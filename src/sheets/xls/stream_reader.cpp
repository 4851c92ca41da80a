#include "sheets/xls/stream_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace qm4250 {

StreamReader::StreamReader(SectorTable& sectors, uint32_t firstSector, uint64_t size,
                           std::string name, size_t bufferSize)
    : sectors_(&sectors),
      firstSector_(firstSector),
      size_(size),
      name_(std::move(name)),
      buffer_(std::max<size_t>(bufferSize, sectors.sectorSize())),
      chainSector_(firstSector) {}

StreamReader::StreamReader(std::string bytes, std::string name)
    : sectors_(nullptr),
      firstSector_(cfb::kEndOfChain),
      size_(bytes.size()),
      name_(std::move(name)),
      buffer_(bytes.begin(), bytes.end()),
      bufferLength_(bytes.size()),
      chainSector_(cfb::kEndOfChain) {}

SheetReadResult StreamReader::read(char* out, size_t count) {
    if (count > remaining())
        return Damaged(name_ + " ends early");
    while (count > 0) {
        if (position_ >= bufferStart_ + bufferLength_) {
            if (SheetReadResult error = fill())
                return error;
        }
        size_t at = static_cast<size_t>(position_ - bufferStart_);
        size_t taken = std::min(count, bufferLength_ - at);
        std::memcpy(out, buffer_.data() + at, taken);
        out += taken;
        count -= taken;
        position_ += taken;
    }
    return std::nullopt;
}

SheetReadResult StreamReader::seek(uint64_t position) {
    if (position > size_)
        return Damaged(name_ + " is shorter than a position in it");
    if (position < bufferStart_ && sectors_) {
        chainSector_ = firstSector_;
        chainPosition_ = 0;
        bufferStart_ = 0;
        bufferLength_ = 0;
    }
    position_ = position;
    return std::nullopt;
}

// Reads from the sector that holds position_ on, as many consecutive sectors as the buffer
// takes, in one read.
SheetReadResult StreamReader::fill() {
    uint32_t sectorSize = sectors_->sectorSize();
    while (chainPosition_ + sectorSize <= position_) {
        if (SheetReadResult error = sectors_->checkLink(chainSector_, name_))
            return error;
        if (SheetReadResult error = sectors_->next(chainSector_, chainSector_))
            return error;
        chainPosition_ += sectorSize;
    }
    uint64_t start = chainPosition_;
    uint64_t wanted = std::min<uint64_t>(buffer_.size(), size_ - start);
    uint32_t first = chainSector_;
    uint64_t runLength = 0;
    uint32_t last;
    do {
        if (SheetReadResult error = sectors_->checkLink(chainSector_, name_))
            return error;
        last = chainSector_;
        if (SheetReadResult error = sectors_->next(last, chainSector_))
            return error;
        runLength += sectorSize;
        chainPosition_ += sectorSize;
    } while (runLength < wanted && chainSector_ == last + 1);
    size_t length = static_cast<size_t>(std::min(runLength, size_ - start));
    if (SheetReadResult error =
            sectors_->read(sectors_->sectorOffset(first), buffer_.data(), length, name_))
        return error;
    bufferStart_ = start;
    bufferLength_ = length;
    return std::nullopt;
}

}  // namespace qm4250
