#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "archive/sheet_rows.h"
#include "archive/xls/stream_reader.h"

namespace qm4250 {

// The records this reader looks at; every other record is passed over.
enum RecordType : uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kLabelSst = 0x00FD,
    kLabel = 0x0204,
    kNumber = 0x0203,
    kRk = 0x027E,
    kMulRk = 0x00BD,
    kBoolErr = 0x0205,
};

// A BIFF8 record holds at most this many bytes after its 4-byte header.
constexpr size_t kMaxRecordBody = 8224;

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
    std::array<char, kMaxRecordBody> body_;
};

}  // namespace qm4250
