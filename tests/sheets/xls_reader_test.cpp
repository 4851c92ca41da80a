// The .xls reader: workbooks from our writer and from python3-xlwt read back cell for cell, cells
// of every kind, and hostile files, each of which must end in its outcome: never a crash, an
// over-read or memory running away.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <bit>
#include <cstdio>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "export/cell_table.h"
#include "export/save_history_workbook.h"
#include "export/xls/little_endian.h"
#include "export/xls/xls_writer.h"
#include "history_rows.h"
#include "sheets/hostile_files.h"
#include "sheets/python_workbook.h"
#include "sheets/sheet_file.h"
#include "sheets/xls/xls_reader.h"

using namespace qm4250;

namespace {

// Every row handed on, whole, in order.
class TableRows : public SheetRows {
  public:
    bool row(uint64_t number, const SheetRow& cells) override {
        rows.emplace_back(number, cells);
        return rows.size() < stopAfter;
    }
    bool rowTooLong(uint64_t) override { return false; }

    std::vector<std::pair<uint64_t, SheetRow>> rows;
    size_t stopAfter = SIZE_MAX;
};

SheetReadResult ReadPath(const std::string& path, SheetRows& rows) {
    auto opened = OpenSheetFile(path);
    if (auto* error = std::get_if<SheetReadError>(&opened))
        return *error;
    return ReadXlsRows(std::get<FileDescriptor>(opened).get(), rows);
}

// The rows as a table from row 1, for a sheet whose rows all hold a cell.
CellTable TableOf(const TableRows& read) {
    CellTable table;
    for (const auto& [number, cells] : read.rows) {
        EXPECT_EQ(number, table.size() + 1);
        table.push_back(cells);
    }
    return table;
}

// A row as the tests compare it: "2:a;b;;;;;;;; ", every cell whole.
std::string Shown(uint64_t number, std::vector<std::string> cells) {
    cells.resize(SheetRow().size());
    std::string shown = std::to_string(number) + ":";
    for (const std::string& cell : cells)
        shown += cell + ";";
    return shown + " ";
}

std::string Shown(const TableRows& read) {
    std::string shown;
    for (const auto& [number, cells] : read.rows)
        shown += Shown(number, std::vector<std::string>(cells.begin(), cells.end()));
    return shown;
}

// Workbooks of our own writer.

struct SavedHistory {
    const char* name;
    History history;
};

History OneRecord(std::string_view pn, std::string_view custCode) {
    History history;
    history.identification = Identification{"7", "S", "Norvik"};
    history.records.push_back(MakeRecord("1", pn, custCode, "0.5", "N", "Jan 01/04 00:00:00", 29));
    return history;
}

std::string EveryByte() {
    std::string bytes;
    for (int c = 1; c < 256; ++c)
        bytes += static_cast<char>(c);
    return bytes;
}

// Texts of 20,000 and 12,348 characters go on through CONTINUE records, each part of a text
// after the first starting with its flags byte again.
History LongTexts() {
    std::string latin1;
    for (int k = 0; latin1.size() < 20000; ++k)
        latin1 += k % 7 ? static_cast<char>('a' + k % 26) : '\xE9';
    return OneRecord(latin1, std::string(12345, 'x') + "end");
}

History Uploaded(int records) {
    std::vector<std::string> frames{"1Q4250117"};
    for (int k = 1; k <= records; ++k)
        frames.push_back("1" + std::to_string(k) + ",P;" + std::to_string(k % 13) + ",C" +
                         std::to_string(k) + ",0.00" + std::to_string(k % 9) + ",N," +
                         std::to_string(997 * k) + "," + (k % 10 ? "28" : "1"));
    return HistoryOf(frames);
}

TEST(XlsReader, OurWorkbooksReadBackToTheirCells) {
    std::vector<SavedHistory> saved{
        {"tricky bytes",
         HistoryOf({"1Q77", "11,P;X,C1,0.0012,N,0,28", "12,PN2,C\"2,-0.5,7,86399,1",
                    "13,PN3,,,,126230400,29", "14,\xE9t\xE9,C4,1e-3,N,2147483647,0"})},
        {"every byte and a NUL", OneRecord(EveryByte(), std::string("a\0b", 3))},
        {"texts across SST records", LongTexts()},
        // 64,902 rows in 9 MB: more FAT sectors than the header lists, the rest in a DIFAT sector
        {"the most records a sheet holds", Uploaded(59000)},
    };
    QTemporaryDir folder;
    for (const SavedHistory& s : saved) {
        std::string path = (folder.path() + "/saved.xls").toStdString();
        ASSERT_TRUE(SaveHistory(s.history, path).ok()) << s.name;
        TableRows read;
        EXPECT_EQ(OutcomeText(ReadPath(path, read)), "read") << s.name;
        EXPECT_TRUE(TableOf(read) == BuildCellTable(s.history)) << s.name;
    }
}

TEST(XlsReader, TheReceiverStopsTheReading) {
    QTemporaryDir folder;
    std::string path = (folder.path() + "/saved.xls").toStdString();
    ASSERT_TRUE(SaveHistory(Uploaded(20), path).ok());
    TableRows read;
    read.stopAfter = 3;
    EXPECT_EQ(OutcomeText(ReadPath(path, read)), "read");
    EXPECT_EQ(read.rows.size(), 3u);
}

// Shared strings past 64 MiB of UTF-8 are refused before they take more memory: 720 texts of
// 32,000 CJK characters, 2 bytes each in the file and 3 in UTF-8.
TEST(XlsReader, SharedStringsPast64MiBAreTooLarge) {
    QTemporaryDir folder;
    std::string path = (folder.path() + "/large.xls").toStdString();
    {
        std::string cjk;
        for (int k = 0; k < 31997; ++k)
            cjk += "\u4E00";
        CellTable table(720);
        for (size_t row = 0; row < table.size(); ++row)
            table[row][0] = cjk + std::to_string(100 + row);
        WriteFile(path, *XlsFile(table));
    }
    EXPECT_EQ(ReadBounded([&](SheetRows& rows) { return ReadPath(path, rows); }),
              "0 rows, too large: the SST holds more than 64 MiB of text");
}

// python3-xlwt writes numbers as RK, MULRK or NUMBER, booleans and errors as BOOLERR and text as
// LABELSST, compressed or UTF-16, with rich-text runs; it pads the Workbook stream to 4,096 bytes,
// out of the mini stream.
TEST(XlsReader, AWorkbookFromPythonXlwt) {
    QTemporaryDir folder;
    std::string path = (folder.path() + "/xlwt.xls").toStdString();
    std::string script =
        "import sys, xlwt\n"
        "book = xlwt.Workbook(); sheet = book.add_sheet('Sheet1')\n"
        "rows = {0: ['SEQ#', 'PN', 'caf\\u00e9'],\n"
        "        1: [17, 0.25, -3, 12.34, 1e100, 2**40, True, False, "
        "'\\u03a9\\u20ac\\U0001F600'],\n"
        "        4: ['after a gap'] + [None] * 8 + ['column J']}\n"
        "errors = [0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A]\n"
        "for r in range(5):\n"
        "    for c, value in enumerate(rows.get(r, [])):\n"
        "        if value is not None: sheet.write(r, c, value)\n"
        "    for c, code in enumerate(errors if r == 2 else []):\n"
        "        sheet.row(r).set_cell_error(c, code)\n"
        "sheet.write_rich_text(4, 1, [('rich', xlwt.Font()), ' text'])\n"
        "book.save(sys.argv[1])\n";
    ASSERT_TRUE(WriteWithPython(script, path)) << "python3-xlwt wrote no workbook";
    TableRows read;
    EXPECT_EQ(OutcomeText(ReadPath(path, read)), "read");
    EXPECT_EQ(Shown(read),
              Shown(1, {"SEQ#", "PN", "caf\u00e9"}) +
                  Shown(2, {"17", "0.25", "-3", "12.34", "1e+100", "1099511627776", "TRUE", "FALSE",
                            "\u03a9\u20ac\U0001F600"}) +
                  Shown(3, {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"}) +
                  Shown(5, {"after a gap", "rich text"}));
}

// Workbooks made here, record by record.

std::string U16(uint16_t value) {
    std::string bytes;
    PutU16(bytes, value);
    return bytes;
}

std::string U32(uint32_t value) {
    std::string bytes;
    PutU32(bytes, value);
    return bytes;
}

std::string F64(double value) {
    uint64_t bits = std::bit_cast<uint64_t>(value);
    return U32(static_cast<uint32_t>(bits)) + U32(static_cast<uint32_t>(bits >> 32));
}

std::string Rec(uint16_t type, const std::string& body) {
    return U16(type) + U16(static_cast<uint16_t>(body.size())) + body;
}

// A cell's row, column and cell format (XF index).
std::string At(uint16_t row, uint16_t column, uint16_t format = 15) {
    return U16(row) + U16(column) + U16(format);
}

std::string Number(uint16_t row, uint16_t column, double value, uint16_t format = 15) {
    return Rec(0x0203, At(row, column, format) + F64(value));
}

std::string Rk(uint16_t row, uint16_t column, uint32_t rk, uint16_t format = 15) {
    return Rec(0x027E, At(row, column, format) + U32(rk));
}

// A cell format showing numbers in number format `id`.
std::string Xf(uint16_t id) {
    return Rec(0x00E0, U16(0) + U16(id) + std::string(16, '\0'));
}

std::string Format(uint16_t id, const std::string& code) {
    return Rec(0x041E, U16(id) + U16(static_cast<uint16_t>(code.size())) + '\0' + code);
}

std::string BoolErr(uint16_t row, uint16_t column, uint8_t value, bool error) {
    return Rec(0x0205, At(row, column) + std::string{static_cast<char>(value), error});
}

// characters: one byte each, or UTF-16LE when wide.
std::string Label(uint16_t row, uint16_t column, const std::string& characters, bool wide) {
    size_t length = characters.size() / (wide ? 2 : 1);
    return Rec(0x0204, At(row, column) + U16(static_cast<uint16_t>(length)) + std::string(1, wide) +
                           characters);
}

std::string LabelSst(uint16_t row, uint16_t column, uint32_t index) {
    return Rec(0x00FD, At(row, column) + U32(index));
}

std::string Sst(uint32_t count, const std::string& strings) {
    return Rec(0x00FC, U32(count) + U32(count) + strings);
}

// An SST string of one-byte characters: length, flags, characters.
std::string SstString(const std::string& characters) {
    return U16(static_cast<uint16_t>(characters.size())) + '\0' + characters;
}

std::string Bof(uint16_t version, uint16_t substream) {
    return Rec(0x0809, U16(version) + U16(substream) + U16(0x0DBB) + U16(0x07CC) + U32(0) + U32(6));
}

const std::string kEof = Rec(0x000A, "");

// A sheet of a workbook made here: a worksheet unless its BOUNDSHEET type says otherwise (2 a
// chart), with its records between its BOF and EOF.
struct SheetParts {
    std::string records;
    std::string name = "Sheet1";  // one byte a character, or UTF-16LE when wide
    uint8_t type = 0;
    int64_t at = -1;  // the BOUNDSHEET's position of the sheet; -1: where it is
    bool wide = false;
};

struct BookParts {
    std::vector<SheetParts> sheets{SheetParts{}};
    std::string globals;  // records of the globals after the BOUNDSHEETs
    uint16_t version = 0x0600;
};

// A Workbook stream: the globals, then each sheet.
std::string Workbook(const BookParts& parts) {
    std::string stream = Bof(parts.version, 0x0005);
    std::vector<size_t> positions;
    for (const SheetParts& sheet : parts.sheets) {
        positions.push_back(stream.size() + 4);
        stream += Rec(0x0085, U32(0) + std::string{0, static_cast<char>(sheet.type)} +
                                  static_cast<char>(sheet.name.size() / (sheet.wide ? 2 : 1)) +
                                  static_cast<char>(sheet.wide) + sheet.name);
    }
    stream += parts.globals + kEof;
    for (size_t k = 0; k < parts.sheets.size(); ++k) {
        const SheetParts& sheet = parts.sheets[k];
        SetU32(stream, positions[k],
               static_cast<uint32_t>(sheet.at < 0 ? stream.size() : sheet.at));
        stream += Bof(0x0600, sheet.type == 2 ? 0x0020 : 0x0010) + sheet.records + kEof;
    }
    return stream;
}

std::string Workbook(const std::string& sheet, const std::string& globals = "") {
    BookParts parts;
    parts.sheets[0].records = sheet;
    parts.globals = globals;
    return Workbook(parts);
}

// A compound file around `workbook`: sector 0 the FAT, 1 the directory, 2 the MiniFAT, and from
// sector 3 on the mini stream holding the workbook when it is under 4,096 bytes, else the
// Workbook stream itself. Version 3 (512-byte sectors, the offsets below) unless `sectorShift`
// is 12.
constexpr size_t kFat = 512, kDirectory = 1024, kMiniFat = 1536;
constexpr size_t kWorkbookEntry = kDirectory + 128;
constexpr uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF;

std::string CompoundFile(const std::string& workbook, std::u16string name = u"Workbook",
                         unsigned sectorShift = 9) {
    size_t sectorSize = size_t{1} << sectorShift;
    bool mini = workbook.size() < 4096;
    uint32_t miniSectors = static_cast<uint32_t>((workbook.size() + 63) / 64);
    std::string data = workbook;
    data.resize((workbook.size() + sectorSize - 1) / sectorSize * sectorSize, '\0');
    uint32_t dataSectors = static_cast<uint32_t>(data.size() / sectorSize);

    std::string file = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(16, '\0') + U16(0x3E) +
                       U16(sectorShift == 12 ? 4 : 3) + U16(0xFFFE) +
                       U16(static_cast<uint16_t>(sectorShift)) + U16(6) + std::string(6, '\0') +
                       U32(0) + U32(1) + U32(1) + U32(0) + U32(4096) + U32(2) + U32(1) + U32(kEnd) +
                       U32(0) + U32(0);
    for (int k = 1; k < 109; ++k)
        file += U32(kFree);
    file.resize(sectorSize, '\0');

    std::string fat = U32(0xFFFFFFFD) + U32(kEnd) + U32(kEnd);
    for (uint32_t k = 0; k < dataSectors; ++k)
        fat += U32(k + 1 < dataSectors ? 3 + k + 1 : kEnd);
    fat.resize(sectorSize, '\xFF');

    auto entry = [](std::u16string entryName, uint8_t type, uint32_t child, uint32_t start,
                    uint32_t size) {
        std::string e;
        for (char16_t c : entryName)
            e += U16(c);
        e.resize(64, '\0');
        e += U16(static_cast<uint16_t>(entryName.empty() ? 0 : entryName.size() * 2 + 2));
        e += std::string{static_cast<char>(type), 1};
        e += U32(kFree) + U32(kFree) + U32(child) + std::string(36, '\0');
        return e + U32(start) + U32(size) + U32(0);
    };
    std::string directory =
        entry(u"Root Entry", 5, 1, mini ? 3 : kEnd, mini ? miniSectors * 64 : 0) +
        entry(name, 2, kFree, mini ? 0 : 3, static_cast<uint32_t>(workbook.size()));
    directory.resize(sectorSize, '\0');

    std::string miniFat;
    for (uint32_t k = 0; mini && k < miniSectors; ++k)
        miniFat += U32(k + 1 < miniSectors ? k + 1 : kEnd);
    miniFat.resize(sectorSize, '\xFF');
    return file + fat + directory + miniFat + data;
}

std::string Patched(std::string file, size_t at, uint32_t value) {
    SetU32(file, at, value);
    return file;
}

struct CellCase {
    const char* name;
    std::string workbook;
    std::string shown;
};

TEST(XlsReader, CellsOfEveryKind) {
    std::string high = U16(0xD83D), low = U16(0xDE00);  // U+1F600 as a surrogate pair
    std::vector<CellCase> cases{
        {"numbers",
         Workbook(Number(0, 0, 17) + Number(0, 1, 0.25) + Number(0, 2, 1.0 / 3) +
                  Number(0, 3, 1e21) + Number(0, 4, -1.5e-300)),
         Shown(1, {"17", "0.25", "0.3333333333333333", "1e+21", "-1.5e-300"})},
        {"RK integers, hundredths and doubles",
         Workbook(Rk(0, 0, 5 << 2 | 2) + Rk(0, 1, 1234 << 2 | 3) + Rk(0, 2, 0xFFFFFFE2) +
                  Rk(0, 3, 0x3FE00000) + Rk(0, 4, 0x3FF80001)),
         Shown(1, {"5", "12.34", "-8", "0.5", "0.015"})},
        {"a MULRK across columns",
         Workbook(Rec(0x00BD, U16(0) + U16(6) + U16(15) + U32(1 << 2 | 2) + U16(15) +
                                  U32(2 << 2 | 2) + U16(15) + U32(3 << 2 | 2) + U16(8))),
         Shown(1, {"", "", "", "", "", "", "1", "2", "3"})},
        {"booleans and every error",
         Workbook(BoolErr(0, 0, 1, false) + BoolErr(0, 1, 0, false) + BoolErr(0, 2, 0x00, true) +
                  BoolErr(0, 3, 0x07, true) + BoolErr(0, 4, 0x0F, true) +
                  BoolErr(0, 5, 0x17, true) + BoolErr(0, 6, 0x1D, true) +
                  BoolErr(0, 7, 0x24, true) + BoolErr(0, 8, 0x2A, true)),
         Shown(1, {"TRUE", "FALSE", "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!",
                   "#N/A"})},
        {"LABEL text, Latin-1 and UTF-16 with a NUL and surrogates",
         Workbook(Label(0, 0, std::string("caf\xE9\0!", 6), false) +
                  Label(0, 1, U16(0x3A9) + high + low + U16(0) + high + U16('x') + low, true)),
         Shown(1, {std::string("caf\u00e9\0!", 7),
                   std::string("\u03a9\U0001F600\0\uFFFDx\uFFFD", 14)})},
        {"rows: gaps absent, columns past I ignored, an earlier row again",
         Workbook(Number(0, 8, 9) + Number(0, 9, 10) + Number(3, 200, 1) + Number(4, 0, 5) +
                  Number(1, 0, 2)),
         Shown(1, {"", "", "", "", "", "", "", "", "9"}) + Shown(5, {"5"}) + Shown(2, {"2"})},
        {"a chart inside the sheet",
         Workbook(Number(0, 0, 1) + Bof(0x0600, 0x0020) + Number(0, 1, 99) + kEof +
                  Number(0, 2, 3)),
         Shown(1, {"1", "", "3"})},
        {"SST strings split across CONTINUE records, runs and phonetic data skipped",
         // "abc", then UTF-16 from the first CONTINUE on, a surrogate pair split between the
         // two; then the string's rich-text run and phonetic bytes
         Workbook(LabelSst(0, 0, 0) + LabelSst(0, 1, 1) + LabelSst(0, 2, 2) + LabelSst(1, 0, 1),
                  Sst(3, U16(6) + "\x0C" + U16(1) + U32(3) + "abc") +
                      Rec(0x003C, "\x01" + U16(0x3A9) + high) +
                      Rec(0x003C, "\x01" + low + "RRRRPPP" + SstString("") + SstString("\xE9")) +
                      Rec(0x003C, "past the strings")),
         Shown(1, {"abc\u03a9\U0001F600", "", "\u00e9"}) + Shown(2, {""})},
    };
    QTemporaryDir folder;
    std::string path = (folder.path() + "/cells.xls").toStdString();
    for (const CellCase& c : cases) {
        WriteFile(path, CompoundFile(c.workbook));
        TableRows read;
        EXPECT_EQ(OutcomeText(ReadPath(path, read)), "read") << c.name;
        EXPECT_EQ(Shown(read), c.shown) << c.name;
    }
}

// Every worksheet, rows from 1 in each, and numbers in cell formats that show dates: built in, or
// defined by a FORMAT record (which takes the place of a built-in one of its id), in either date
// system; RK and MULRK values each in their own cell format.
TEST(XlsReader, WorksheetsInOrderAndTheirDates) {
    BookParts sheets;
    sheets.sheets = {{Number(0, 0, 1) + Number(1, 0, 2), "Eins"},
                     {Number(0, 0, 99), "Chart", 2},
                     {"", "Pr\xFC"},
                     {Number(0, 0, 3), U16(0x65E5) + U16(0x672C), 0, -1, true}};
    const std::string formats = Format(164, "mmm dd/yy hh:mm:ss") + Format(165, "0.0\"d\"") +
                                Format(22, "0.00") + Xf(0) + Xf(22) + Xf(164) + Xf(165) + Xf(14) +
                                Xf(47);
    const std::string cells =
        Number(0, 0, 45355.43090277778, 4) + Rk(0, 1, 45355 << 2 | 2, 4) +
        Number(0, 2, 44259.43090277778, 2) + Number(0, 3, 3.5, 3) + Number(0, 4, 61, 0) +
        Number(0, 5, 61, 1) + Number(0, 6, 61, 99) + Rk(0, 7, 0x3EF00000, 5) +
        Rec(0x00BD, U16(1) + U16(0) + U16(4) + U32(61 << 2 | 2) + U16(0) + U32(61 << 2 | 2) +
                        U16(4) + U32(0xBFF00000) + U16(2)) +
        Number(1, 3, 2958466, 4);
    const std::string row1 =
        "1:2024-03-04 10:20:30;2024-03-04 00:00:00;2021-03-04 10:20:30;3.5;61;";
    std::vector<CellCase> cases{
        {"worksheets with a chart sheet and an empty one between", CompoundFile(Workbook(sheets)),
         "[Eins] 1:1;;;;;;;;; 2:2;;;;;;;;; [Pr\u00fc] [\u65e5\u672c] 1:3;;;;;;;;; "},
        {"dates of the 1900 date system", CompoundFile(Workbook(cells, formats)),
         "[Sheet1] " + row1 +
             "61;61;1899-12-31 00:00:01.318;; 2:1900-03-01 00:00:00;61;-1;2958466;;;;;; "},
        {"dates of the 1904 date system",
         CompoundFile(Workbook(cells, formats + Rec(0x0022, U16(1)))),
         "[Sheet1] 1:2028-03-05 10:20:30;2028-03-05 00:00:00;2025-03-05 10:20:30;3.5;61;61;61;"
         "1904-01-01 00:00:01.318;; 2:1904-03-02 00:00:00;61;-1;2958466;;;;;; "},
    };
    QTemporaryDir folder;
    std::string path = (folder.path() + "/sheets.xls").toStdString();
    for (const CellCase& c : cases) {
        WriteFile(path, c.workbook);
        CollectedRows read;
        EXPECT_EQ(OutcomeText(ReadPath(path, read)), "read") << c.name;
        EXPECT_EQ(read.shown(), c.shown) << c.name;
    }
}

// Hostile files.

struct HostileCase {
    const char* name;
    std::string file;
    std::string outcome;
};

TEST(XlsReader, HostileFilesEndInTheirOutcome) {
    const std::string one = Workbook(Number(0, 0, 1));
    const std::string small = CompoundFile(one);
    std::string padded = one;
    padded.resize(4096, '\0');
    const std::string large = CompoundFile(padded);
    const size_t workbookFatEntry = kFat + 4 * 3;
    BookParts biff5, chartOnly, misplaced;
    biff5.version = 0x0500;
    chartOnly.sheets[0] = {Number(0, 0, 1), "Chart", 2};
    misplaced.sheets[0].at = 100000;
    auto empties = [](size_t count) {
        BookParts parts;
        parts.sheets.assign(count, SheetParts{});
        return parts;
    };
    BookParts longName;
    longName.sheets[0].name = std::string(32, 'n');
    BookParts two;
    two.sheets = {{Number(0, 0, 1), "A"}, {Number(0, 0, 2), "B"}};
    // The second BOUNDSHEET's position (after the BOF, 20 bytes, and the first BOUNDSHEET, 13)
    // made the first's.
    std::string twice = Workbook(two);
    twice.replace(20 + 13 + 4, 4, twice.substr(20 + 4, 4));
    std::string formats, cellFormats;
    for (uint16_t k = 0; k < 4'001; ++k)
        formats += Format(static_cast<uint16_t>(164 + k), "0");
    for (size_t k = 0; k < 64'001; ++k)
        cellFormats += Xf(0);
    std::vector<HostileCase> cases{
        {"the reference file in mini sectors", small, "1 rows, read"},
        {"the reference file in regular sectors", large, "1 rows, read"},
        {"version 4 in mini sectors", CompoundFile(one, u"Workbook", 12), "1 rows, read"},
        {"version 4 in regular sectors", CompoundFile(padded, u"Workbook", 12), "1 rows, read"},
        {"the Workbook named in capitals", CompoundFile(one, u"WORKBOOK"), "1 rows, read"},
        {"not a compound file", std::string(600, 'x'), "0 rows, damaged: not a compound file"},
        {"shorter than a header", small.substr(0, 100), "0 rows, damaged: not a compound file"},
        {"sectors of 4,096 bytes in version 3", Patched(small, 0x1E, 12),
         "0 rows, damaged: the compound file has an unknown version or sector size"},
        {"a FAT longer than the file", Patched(small, 0x2C, 0xFFFFFFFF),
         "0 rows, damaged: the FAT is longer than the file can hold"},
        {"a FAT sector past the file", Patched(small, 0x4C, 5000),
         "0 rows, damaged: a FAT sector lies past the end of the file"},
        {"a DIFAT sector that points to itself",
         Patched(Patched(Patched(small, 0x48, 1), 0x44, 2), kMiniFat + 508, 2),
         "0 rows, damaged: the DIFAT chain loops or runs past its count of sectors"},
        {"a directory sector past the file", Patched(small, 0x30, 1000),
         "0 rows, damaged: the FAT chain of the directory runs past the end of the file"},
        {"a FAT chain that loops", Patched(large, workbookFatEntry + 4 * 5, 5),
         "0 rows, damaged: the FAT chain of the Workbook stream loops"},
        {"a FAT chain shorter than the stream", Patched(large, workbookFatEntry, kEnd),
         "0 rows, damaged: the FAT chain of the Workbook stream is shorter than the stream"},
        {"a MiniFAT chain that loops", Patched(small, kMiniFat, 0),
         "0 rows, damaged: the MiniFAT chain of the Workbook stream loops"},
        {"a mini sector past the mini stream", Patched(small, kMiniFat, 40),
         "0 rows, damaged: the MiniFAT chain of the Workbook stream runs past the end of the "
         "mini "
         "stream"},
        {"a directory tree that loops",
         Patched(CompoundFile(one, u"Workboo"), kWorkbookEntry + 0x44, 1),
         "0 rows, damaged: the directory tree loops"},
        {"no Workbook stream", CompoundFile(one, u"Workbooks"),
         "0 rows, damaged: the compound file has no Workbook stream"},
        {"a Book stream only", CompoundFile(one, u"Book"),
         "0 rows, unsupported: the file is an Excel 5 workbook (a Book stream), not Excel 97-2003"},
        {"a BIFF5 workbook", CompoundFile(Workbook(biff5)),
         "0 rows, unsupported: the workbook is older than Excel 97 (not BIFF8)"},
        {"encrypted", CompoundFile(Workbook(Number(0, 0, 1), Rec(0x002F, U16(1) + U32(0)))),
         "0 rows, unsupported: the workbook is encrypted"},
        {"no worksheet", CompoundFile(Workbook(chartOnly)),
         "0 rows, damaged: the workbook has no worksheet"},
        {"a worksheet past the stream", CompoundFile(Workbook(misplaced)),
         "0 rows, damaged: worksheet 1 lies past the end of the Workbook stream"},
        {"a record cut short", CompoundFile(one.substr(0, one.size() - 2)),
         "0 rows, damaged: worksheet 1: a record runs past the end of the Workbook stream"},
        {"a record over the size limit",
         CompoundFile(Workbook(Rec(0x0203, std::string(8225, '\0')))),
         "0 rows, damaged: worksheet 1: a record is longer than 8,224 bytes"},
        {"no EOF for the worksheet", CompoundFile(one.substr(0, one.size() - 4)),
         "0 rows, damaged: worksheet 1 ends before its EOF record"},
        {"an SST counting 2^32-1 strings",
         CompoundFile(Workbook(LabelSst(0, 0, 0), Sst(0xFFFFFFFF, SstString("a")))),
         "0 rows, damaged: the SST runs past its records"},
        {"an SST string longer than its records",
         CompoundFile(Workbook(LabelSst(0, 0, 0), Sst(1, U16(5000) + std::string(1, 0) + "abc"))),
         "0 rows, damaged: the SST runs past its records"},
        {"a LABELSST past the SST",
         CompoundFile(Workbook(Number(0, 0, 1) + LabelSst(1, 1, 1), Sst(1, SstString("a")))),
         "1 rows, damaged: worksheet 1: cell B2 refers to a shared string past the end of the SST"},
        {"a LABEL longer than its record",
         CompoundFile(Workbook(Rec(0x0204, At(0, 0) + U16(10) + '\0' + "abc"))),
         "0 rows, damaged: worksheet 1: the text of cell A1 runs past its record"},
        {"a cell past column IV", CompoundFile(Workbook(Number(0, 0, 1) + Number(1, 300, 2))),
         "1 rows, damaged: worksheet 1: cell KO2 is past column IV"},
        {"a NUMBER too short for its value", CompoundFile(Workbook(Rec(0x0203, At(0, 0) + U32(0)))),
         "0 rows, damaged: worksheet 1: a NUMBER record is shorter than its fields"},
        {"a MULRK whose last column is wrong",
         CompoundFile(Workbook(Rec(0x00BD, U16(0) + U16(0) + U16(15) + U32(2) + U16(5)))),
         "0 rows, damaged: worksheet 1: a MULRK record's last column does not match its length"},
        {"an unknown error code", CompoundFile(Workbook(BoolErr(0, 0, 0x99, true))),
         "0 rows, damaged: worksheet 1: cell A1 holds an unknown error code"},
        {"10,000 worksheets", CompoundFile(Workbook(empties(10'000)), u"Workbook", 12),
         "0 rows, read"},
        {"10,001 sheets", CompoundFile(Workbook(empties(10'001)), u"Workbook", 12),
         "0 rows, too large: the workbook has more than 10000 sheets"},
        {"a name of 32 characters", CompoundFile(Workbook(longName)),
         "0 rows, damaged: the name of sheet 1 is longer than 31 characters"},
        {"a name past its record",
         CompoundFile(Workbook(one, Rec(0x0085, U32(0) + std::string{0, 0, 10, 0} + "abc"))),
         "0 rows, damaged: the name of sheet 2 runs past its record"},
        {"two worksheets at one position", CompoundFile(twice),
         "1 rows, damaged: worksheet 2 begins before the globals or the worksheet ahead of it end"},
        {"4,001 number formats", CompoundFile(Workbook(one, formats)),
         "0 rows, too large: the workbook defines more than 4000 number formats"},
        {"64,001 cell formats", CompoundFile(Workbook(one, cellFormats), u"Workbook", 12),
         "0 rows, too large: the workbook has more than 64000 cell formats"},
        {"an XF record cut short", CompoundFile(Workbook(one, Rec(0x00E0, U16(0)))),
         "0 rows, damaged: an XF record is shorter than its fields"},
        {"a FORMAT code past its record",
         CompoundFile(Workbook(one, Rec(0x041E, U16(164) + U16(50) + '\0' + "yy"))),
         "0 rows, damaged: the code of a FORMAT record runs past its record"},
    };
    QTemporaryDir folder;
    std::string path = (folder.path() + "/hostile.xls").toStdString();
    for (const HostileCase& c : cases) {
        WriteFile(path, c.file);
        EXPECT_EQ(ReadBounded([&](SheetRows& rows) { return ReadPath(path, rows); }), c.outcome)
            << c.name;
    }
}

}  // namespace
