#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/biff_record_types.h"

namespace qm4250 {

namespace biff {

// Appends one record: its type, its data length and its data (at most kMaxRecordData bytes).
void AppendRecord(std::string& stream, RecordType type, std::string_view data);

// Appends a record whose data is one 16-bit number.
void AppendU16Record(std::string& stream, RecordType type, uint16_t value);

// Appends the BOF record that opens a BIFF8 substream.
void AppendBof(std::string& stream, SubstreamType type);

}  // namespace biff

}  // namespace qm4250
