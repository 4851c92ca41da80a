// Any uploaded history through the cell table and every writer. The input is the history frames'
// texts separated by LF, decoded as one upload: the first the identification, the others test
// records, any field holding any byte but ",". Whatever table comes out, each writer must give a
// file that reads back to it.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "export/cell_table.h"
#include "export/csv_writer.h"
#include "export/xls/xls_writer.h"
#include "export/xls_reader.h"
#include "export/xlsx_writer.h"
#include "fuzz_target.h"
#include "history_rows.h"
#include "scratch_file.h"

using namespace qm4250;

namespace {

// RFC 4180 read back: quoted fields may hold anything, a doubled quote is one quote.
CellTable ParseCsv(std::string_view csv) {
    CellTable table;
    SheetRow row;
    size_t column = 0;
    size_t at = 0;
    while (at < csv.size()) {
        std::string field;
        if (csv[at] == '"') {
            for (++at; at < csv.size(); ++at) {
                if (csv[at] == '"' && (at + 1 == csv.size() || csv[at + 1] != '"'))
                    break;
                if (csv[at] == '"')
                    ++at;
                field += csv[at];
            }
            FUZZ_CHECK(at < csv.size());
            ++at;
        } else {
            size_t end = csv.find_first_of(",\r", at);
            FUZZ_CHECK(end != std::string_view::npos);
            field = csv.substr(at, end - at);
            at = end;
        }
        FUZZ_CHECK(column < row.size());
        row[column++] = std::move(field);
        if (csv.substr(at, 1) == ",") {
            ++at;
            continue;
        }
        FUZZ_CHECK(csv.substr(at, 2) == "\r\n");
        at += 2;
        FUZZ_CHECK(column == row.size());
        table.push_back(std::exchange(row, SheetRow{}));
        column = 0;
    }
    return table;
}

// Rows left all blank at the end have no cells in the sheet to read back.
CellTable WithoutTrailingBlankRows(CellTable table) {
    while (!table.empty() && table.back() == SheetRow{})
        table.pop_back();
    return table;
}

void CheckXls(const CellTable& table) {
    std::optional<std::string> file = XlsFile(table);
    if (!file)
        return;
    FUZZ_CHECK(file->size() % 512 == 0);
    try {
        std::string stream = WorkbookStream(*file);
        std::vector<BiffRecord> records = SplitRecords(stream);
        FUZZ_CHECK(WithoutTrailingBlankRows(ReadCells(records)) == WithoutTrailingBlankRows(table));
    } catch (const std::exception& broken) {
        std::fprintf(stderr, "inconsistent .xls: %s\n", broken.what());
        std::abort();
    }
}

bool FitsXlsxCells(const CellTable& table) {
    for (const SheetRow& row : table) {
        for (const std::string& text : row) {
            if (text.size() > 32767)
                return false;
        }
    }
    return true;
}

// The .xlsx is a zip archive: local header first, end of central directory last.
void CheckXlsx(const CellTable& table) {
    static ScratchFile scratch;
    bool written = WriteXlsx(table, scratch.path()).ok();
    FUZZ_CHECK(written || !FitsXlsxCells(table));
    if (!written)
        return;
    std::ifstream in(scratch.path(), std::ios::binary);
    std::string zip{std::istreambuf_iterator<char>(in), {}};
    FUZZ_CHECK(zip.size() >= 22);
    FUZZ_CHECK(zip.compare(0, 4, "PK\x03\x04") == 0);
    FUZZ_CHECK(zip.compare(zip.size() - 22, 4, "PK\x05\x06") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input(data, size);
    CellTable table = BuildCellTable(HistoryOf(SplitLines(input.rest())));
    FUZZ_CHECK(table[0][0] == "SEQ#");
    FUZZ_CHECK(ParseCsv(CsvText(table)) == table);
    CheckXls(table);
    CheckXlsx(table);
    return 0;
}
