#include "export/xls/biff_record.h"

#include <cassert>

#include "export/xls/little_endian.h"

namespace qm4250 {

namespace biff {

void AppendRecord(std::string& stream, RecordType type, std::string_view data) {
    assert(data.size() <= kMaxRecordData);
    PutU16(stream, type);
    PutU16(stream, static_cast<uint16_t>(data.size()));
    stream += data;
}

void AppendU16Record(std::string& stream, RecordType type, uint16_t value) {
    std::string data;
    PutU16(data, value);
    AppendRecord(stream, type, data);
}

void AppendBof(std::string& stream, SubstreamType type) {
    std::string data;
    PutU16(data, kBiff8);
    PutU16(data, type);
    PutU16(data, 0x0DBB);  // the build and year of the Excel 97 that BIFF8 readers expect
    PutU16(data, 0x07CC);
    PutU32(data, 0);       // no file history
    PutU32(data, 0x0006);  // lowest version able to read every record
    AppendRecord(stream, kBof, data);
}

}  // namespace biff

}  // namespace qm4250
