#include "sheets/xls/shared_string_table.h"

#include <algorithm>

#include "sheets/xls/byte_fields.h"
#include "sheets/xls/text_decoding.h"

namespace qm4250 {

namespace {

constexpr uint8_t kWide = 0x01;
constexpr uint8_t kExtended = 0x04;
constexpr uint8_t kRichText = 0x08;
// The most UTF-8 one record's characters make: 3 bytes a character, and 3 for each of two
// unpaired surrogates left over at its ends.
constexpr size_t kMaxPieceText = biff::kMaxRecordData * 3 + 6;

SheetReadError RunsPast() {
    return Damaged("the SST runs past its records");
}

}  // namespace

// The SST record's body and the CONTINUE records after it, read as one run of bytes that knows
// where each record starts: a string's characters go on in the next record after a new flags
// byte.
class SharedStringTable::Pieces {
  public:
    Pieces(std::string_view first, RecordReader& records) : piece_(first), records_(records) {}

    size_t available() const { return piece_.size(); }

    SheetReadResult nextPiece() {
        Record record;
        if (records_.atEnd())
            return RunsPast();
        if (SheetReadResult error = records_.next(record))
            return error;
        if (record.type != biff::kContinue)
            return RunsPast();
        piece_ = record.body;
        return std::nullopt;
    }

    // At most available() bytes.
    std::string_view take(size_t count) {
        std::string_view taken = piece_.substr(0, count);
        piece_.remove_prefix(taken.size());
        return taken;
    }

    // `count` bytes that may go on into the next records, for the fields around characters.
    SheetReadResult copy(char* out, size_t count) {
        for (;;) {
            std::string_view taken = take(count);
            std::copy(taken.begin(), taken.end(), out);
            out += taken.size();
            count -= taken.size();
            if (count == 0)
                return std::nullopt;
            if (SheetReadResult error = nextPiece())
                return error;
        }
    }

    SheetReadResult skip(uint64_t count) {
        for (;;) {
            count -= take(static_cast<size_t>(std::min<uint64_t>(count, available()))).size();
            if (count == 0)
                return std::nullopt;
            if (SheetReadResult error = nextPiece())
                return error;
        }
    }

  private:
    std::string_view piece_;
    RecordReader& records_;
};

SheetReadResult SharedStringTable::read(std::string_view sst, RecordReader& records) {
    Pieces pieces(sst, records);
    char counts[8];
    if (SheetReadResult error = pieces.copy(counts, sizeof counts))
        return error;
    uint32_t count = U32At(counts + 4);
    // The count is the file's word only: each string takes at least 3 bytes of records.
    ends_.reserve(std::min<size_t>(count, sst.size() / 3));
    for (uint32_t k = 0; k < count; ++k) {
        if (ends_.size() == kMaxStrings)
            return TooLarge("the SST holds more than 4,194,304 strings");
        if (SheetReadResult error = readString(pieces))
            return error;
    }
    return std::nullopt;
}

SheetReadResult SharedStringTable::readString(Pieces& pieces) {
    char header[3];
    if (SheetReadResult error = pieces.copy(header, sizeof header))
        return error;
    uint16_t length = U16At(header);
    uint8_t flags = static_cast<uint8_t>(header[2]);
    char field[4];
    uint64_t trailing = 0;  // rich-text runs and phonetic data, not text
    if (flags & kRichText) {
        if (SheetReadResult error = pieces.copy(field, 2))
            return error;
        trailing += uint64_t{U16At(field)} * 4;
    }
    if (flags & kExtended) {
        if (SheetReadResult error = pieces.copy(field, 4))
            return error;
        trailing += U32At(field);
    }
    if (SheetReadResult error = readCharacters(pieces, length, flags & kWide))
        return error;
    if (ends_.size() == ends_.capacity())
        ends_.reserve(std::min(std::max<size_t>(ends_.capacity() * 2, 64), kMaxStrings));
    ends_.push_back(static_cast<uint32_t>(text_.size()));
    return pieces.skip(trailing);
}

SheetReadResult SharedStringTable::readCharacters(Pieces& pieces, size_t count, bool wide) {
    TextDecoder decoder;
    while (count > 0) {
        if (pieces.available() == 0) {
            if (SheetReadResult error = pieces.nextPiece())
                return error;
            // Characters that go on in a CONTINUE record start it with their flags again.
            if (pieces.available() > 0)
                wide = static_cast<uint8_t>(pieces.take(1)[0]) & kWide;
            continue;
        }
        size_t width = wide ? 2 : 1;
        size_t taken = std::min(count, pieces.available() / width);
        if (taken == 0)
            return Damaged("a string in the SST splits a character between records");
        reserve(taken * 3 + 6);
        std::string_view bytes = pieces.take(taken * width);
        if (wide)
            decoder.appendWide(text_, bytes);
        else
            decoder.appendCompressed(text_, bytes);
        if (text_.size() > kMaxText)
            return TooLarge("the SST holds more than 64 MiB of text");
        count -= taken;
    }
    decoder.finish(text_);
    if (text_.size() > kMaxText)
        return TooLarge("the SST holds more than 64 MiB of text");
    return std::nullopt;
}

void SharedStringTable::reserve(size_t extra) {
    if (text_.size() + extra <= text_.capacity())
        return;
    // Doubling, but never past what the limit can need: past it, doubling would take 128 MiB.
    text_.reserve(
        std::min(std::max(text_.capacity() * 2, text_.size() + extra), kMaxText + kMaxPieceText));
}

}  // namespace qm4250
