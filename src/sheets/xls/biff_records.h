#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/biff_record_types.h"
#include "sheets/sheet_rows.h"
#include "sheets/xls/stream_reader.h"

namespace qm4250 {

// One record: its type (biff::RecordType for those this reader looks at) and its data.
struct Record {
    uint16_t type;
    std::string_view body;  // valid until the next record is read
};

// The records of a BIFF8 stream, one at a time.
class RecordReader {
  public:
    explicit RecordReader(StreamReader& stream) : stream_(stream) {}

    StreamReader& stream() { return stream_; }
    bool atEnd() const { return stream_.remaining() == 0; }
    // The next record: Damaged when it is longer than a record can be or the stream ends
    // part way through it.
    SheetReadResult next(Record& record);

  private:
    StreamReader& stream_;
    std::array<char, biff::kMaxRecordData> body_;
};

}  // namespace qm4250
