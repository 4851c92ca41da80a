#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/cell_table.h"

namespace qm4250 {

// A reader of our own for .xls files, strict about the rules other readers rely on. Every
// function throws std::runtime_error naming the rule a file breaks.

// The "Workbook" stream of a compound file, found through the header, DIFAT, FAT and directory.
std::string WorkbookStream(const std::string& file);

struct BiffRecord {
    uint16_t type;
    std::string_view data;
    size_t position;  // of the record's header in the stream
};

// The records of each substream up to its EOF; only zero bytes may follow the last one.
std::vector<BiffRecord> SplitRecords(std::string_view stream);

struct SstString {
    std::string utf8;
    size_t position;        // of the string's header in the stream
    size_t recordPosition;  // of the header of the record the string starts in
};

// The strings of the SST record and the CONTINUE records after it, at records[sstIndex].
std::vector<SstString> ReadSst(const std::vector<BiffRecord>& records, size_t sstIndex);

// The sheet's text cells as a table, each LABELSST's string looked up in the SST.
CellTable ReadCells(const std::vector<BiffRecord>& records);

uint16_t U16At(std::string_view data, size_t at);
uint32_t U32At(std::string_view data, size_t at);

}  // namespace qm4250
