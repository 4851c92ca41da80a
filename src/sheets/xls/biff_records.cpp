#include "sheets/xls/biff_records.h"

#include "sheets/xls/byte_fields.h"

namespace qm4250 {

SheetReadResult RecordReader::next(Record& record) {
    char header[4];
    if (stream_.remaining() < sizeof header)
        return Damaged("a record runs past the end of " + stream_.name());
    if (SheetReadResult error = stream_.read(header, sizeof header))
        return error;
    size_t length = U16At(header + 2);
    if (length > biff::kMaxRecordData)
        return Damaged("a record is longer than 8,224 bytes");
    if (length > stream_.remaining())
        return Damaged("a record runs past the end of " + stream_.name());
    if (SheetReadResult error = stream_.read(body_.data(), length))
        return error;
    record = {U16At(header), std::string_view(body_.data(), length)};
    return std::nullopt;
}

}  // namespace qm4250
