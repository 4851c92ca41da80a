// The .csv and .xlsx readers against hostile files: each case is made here, read in a child
// process under a memory limit, and must end in its outcome, never in a crash or a runaway.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/hostile_files.h"
#include "archive/sheet_reader.h"
#include "xlsx_zip.h"

using namespace qm4250;

namespace {

struct Case {
    const char* name;
    std::string expected;  // found in "<rows> rows, <outcome> | <the first rows>"
};

std::string Read(const std::string& path) {
    return ReadBounded([&](SheetRows& rows) { return ReadSheetRows(path, rows); }, true);
}

std::string Repeated(const std::string& text, size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (size_t k = 0; k < times; ++k)
        out += text;
    return out;
}

// Letters that do not compress far, so a large part stays under the inflation limit.
std::string Letters(size_t size) {
    std::string text(size, 'a');
    uint32_t state = 1;
    for (char& c : text) {
        state = state * 1103515245 + 12345;
        c = static_cast<char>('a' + (state >> 16) % 26);
    }
    return text;
}

std::string InlineCell(const std::string& text, const std::string& reference = "A1") {
    return "<c r=\"" + reference + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// Sets the uncompressed size the first part's local and central headers declare.
std::string WithDeclaredSize(std::string zip, uint32_t size) {
    auto patch = [&](const char* signature, size_t offset) {
        size_t at = zip.find(signature, 0, 4);
        for (int k = 0; at != std::string::npos && k < 4; ++k)
            zip[at + offset + k] = static_cast<char>((size >> (8 * k)) & 0xFF);
    };
    patch("PK\x03\x04", 22);
    patch("PK\x01\x02", 24);
    return zip;
}

class SheetReaderTest : public testing::Test {
  protected:
    std::string path(const std::string& name) const {
        return (folder_.path() + "/" + QString::fromStdString(name)).toStdString();
    }
    std::string xlsx(const std::string& name, const std::vector<ZipPart>& parts) const {
        EXPECT_TRUE(WriteZip(path(name), parts));
        return path(name);
    }
    std::string file(const std::string& name, const std::string& bytes) const {
        WriteFile(path(name), bytes);
        return path(name);
    }
    std::string zipBytes(const std::vector<ZipPart>& parts) const {
        std::string made = xlsx("made.xlsx", parts);
        std::FILE* in = std::fopen(made.c_str(), "rb");
        std::string bytes;
        for (int c; (c = std::fgetc(in)) != EOF;)
            bytes += static_cast<char>(c);
        std::fclose(in);
        return bytes;
    }

    void expectAll(const std::vector<std::pair<std::string, Case>>& cases) const {
        for (const auto& [file, c] : cases) {
            std::string outcome = Read(file);
            EXPECT_NE(outcome.find(c.expected), std::string::npos)
                << c.name << "\n  got:      " << outcome << "\n  expected: " << c.expected;
        }
    }

    QTemporaryDir folder_;
};

TEST_F(SheetReaderTest, CsvIsReadAsAStreamAndOnlyFromRegularFiles) {
    const std::string header = "SEQ#,PN\n";
    ASSERT_EQ(mkfifo(path("fifo.csv").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(path("fifo.xlsx").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(path("fifo.xls").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", path("zero.csv").c_str()), 0);
    ASSERT_EQ(mkdir(path("folder.csv").c_str(), 0700), 0);
    expectAll({
        {file("newlines.csv", header + std::string(10'000'000, '\n')),
         {"10 MB of line ends", "10000001 rows, read | 1:SEQ#;PN;"}},
        {file("long.csv", header + "1," + std::string(3 << 20, 'x') + "\n2,\"a\r\nb\"\r\n"),
         {"a record past 1 MiB", "2 rows, read | 1:SEQ#;PN;;;;;;;; 2:too long 3:2;a\r\nb;"}},
        {file("quotes.csv", "\"a\"\"b\",\"c,d\"\r\n\"open"),
         {"quotes, and a quote left open", "2 rows, read | 1:a\"b;c,d;;;;;;;; 2:open;"}},
        {file("cr.csv", "a\rb,c\r"),
         {"lone carriage returns", "2 rows, read | 1:a;;;;;;;;; 2:b;c;"}},
        {file("mark.csv", "\xEF\xBB\xBFSEQ#;PN\r\n1;\"a;\"\"b\"\"\",c\r\n"),
         {"a byte-order mark and \";\"", "2 rows, read | 1:SEQ#;PN;;;;;;;; 2:1;a;\"b\",c;"}},
        {file("tab.csv", "SEQ#\tPN\n1\t2,3;4\n"),
         {"tabs", "2 rows, read | 1:SEQ#;PN;;;;;;;; 2:1;2,3;4;"}},
        {file("cp1252.csv", "SEQ#,PN\n1,caf\xE9\x80\n\xEF\xBB"),
         {"Windows-1252, and the start of a mark not at the start",
          "3 rows, read | 1:SEQ#;PN;;;;;;;; 2:1;caf\xC3\xA9\xC2\x80;;;;;;;; 3:\xC3\xAF\xC2\xBB;"}},
        {path("fifo.csv"), {"a FIFO", "0 rows, not a file: a FIFO"}},
        {path("fifo.xlsx"), {"a FIFO named .xlsx", "0 rows, not a file: a FIFO"}},
        {path("fifo.xls"), {"a FIFO named .xls", "0 rows, not a file: a FIFO"}},
        {path("zero.csv"), {"a link to /dev/zero", "0 rows, not a file: a character device"}},
        {path("folder.csv"), {"a folder", "0 rows, not a file: a folder"}},
        {path("missing.csv"), {"no file", "0 rows, cannot open: No such file or directory"}},
    });
}

TEST_F(SheetReaderTest, XlsxRowsAndCellsStayInsideTheSheet) {
    const std::string sheet = "0 rows, damaged: xl/worksheets/sheet1.xml";
    auto one = [&](const std::string& name, const std::string& sheetData) {
        return xlsx(name, XlsxParts(sheetData));
    };
    expectAll({
        {one("no-r.xlsx", "<row>" + InlineCell("SEQ#") + "</row>"),
         {"a first row without r", "1 rows, read | 1:SEQ#;"}},
        {one("later-no-r.xlsx", "<row r=\"3\">" + InlineCell("a", "A3") + "</row><row>" +
                                    "<c r=\"B4\"><v>1</v></c><c><v>2</v></c></row>"),
         {"a later row and a cell without r", "2 rows, read | 3:a;;;;;;;;; 4:;1;2;"}},
        {one("r0.xlsx", "<row r=\"0\"/>"), {"row 0", sheet + ": row 0 is not a row"}},
        {one("r5m.xlsx", "<row r=\"5000000\"/>"), {"row 5,000,000", sheet + ": row 5000000 is"}},
        {one("r1e11.xlsx", "<row r=\"100000000000\"/>"),
         {"row 10^11", sheet + ": row 100000000000 is"}},
        {one("after-last.xlsx", "<row r=\"1048576\"/><row/>"),
         {"a row after the last", "1 rows, damaged: xl/worksheets/sheet1.xml: row 1048577 is"}},
        {one("xfe.xlsx", "<row r=\"1\"><c r=\"XFE1\"/></row>"),
         {"column XFE", sheet + ": cell XFE1 is not a cell"}},
        {one("cell-outside.xlsx", "<c r=\"A1\"/>"),
         {"a cell outside a row", sheet + " has a cell outside any row"}},
        {one("nested.xlsx", "<row r=\"1\"><c t=\"inlineStr\"><is>" + Repeated("<r>", 100'000)),
         {"100,000 nested elements", sheet + " nests elements more than 32 deep"}},
        {one("escapes.xlsx", "<row>" + InlineCell(Repeated("_x0041_", 100'000)) + "</row>"),
         {"100,000 escapes in a cell", "1 rows, read | 1:AAAAAAAAAAAAAAAA"}},
        {one("huge-cell.xlsx", "<row>" + InlineCell(Letters(2 << 20)) + "</row>"),
         {"a cell past 1 MiB", "0 rows, read | 1:too long"}},
        {one("attributes.xlsx", "<row r=\"1\"" + Repeated(" a=\"\"", 20'000) + "/>"),
         {"20,000 attributes", "0 rows, too large: xl/worksheets/sheet1.xml has a tag longer"}},
        {one("entity.xlsx", "<row>" + InlineCell("&undefined;") + "</row>"),
         {"an undeclared entity", sheet + ", line 1:"}},
    });
}

TEST_F(SheetReaderTest, XlsxPartsStayWithinTheirSizes) {
    std::vector<ZipPart> referring = XlsxParts("<row><c t=\"s\"><v>1</v></c></row>", "<si/>");
    std::vector<ZipPart> withDoctype{
        {"xl/worksheets/sheet1.xml", "<!DOCTYPE w [<!ENTITY a \"b\">]><worksheet/>"}};
    std::vector<ZipPart> bomb = XlsxParts("", Repeated("<si/>", 4'000'000));
    std::string small = zipBytes(XlsxParts("<row><c><v>1</v></c></row>"));
    expectAll({
        {file("not-zip.xlsx", "SEQ#,PN\n"), {"not a zip", "0 rows, damaged: not a zip archive"}},
        {xlsx("no-sheet.xlsx", {{"xl/workbook.xml", "<workbook/>"}}),
         {"no sheet", "0 rows, damaged: the workbook has no first worksheet"}},
        {xlsx("shared.xlsx", XlsxParts("<row><c t=\"s\"><v>1</v></c></row>",
                                       "<si><t>a</t></si><si><r><t>SE</t></r><r><t>Q#</t></r>"
                                       "<rPh><t>phonetic</t></rPh></si>")),
         {"rich text in a shared string", "1 rows, read | 1:SEQ#;"}},
        {xlsx("past-sst.xlsx", referring),
         {"a shared string past the table",
          "0 rows, damaged: xl/worksheets/sheet1.xml: cell A1 refers to a shared string"}},
        {xlsx("doctype.xlsx", withDoctype),
         {"a DTD", "0 rows, damaged: xl/worksheets/sheet1.xml has a document type declaration"}},
        {xlsx("bomb.xlsx", bomb),
         {"20 MB of <si/> in a small zip",
          "0 rows, too large: xl/sharedStrings.xml would inflate to 19 MiB, more than 100 times"}},
        {file("declared-1g.xlsx", WithDeclaredSize(small, 1u << 30)),
         {"1 GiB declared",
          "0 rows, too large: xl/worksheets/sheet1.xml would inflate to 1024 MiB"}},
        {file("declared-small.xlsx", WithDeclaredSize(small, 10)),
         {"less declared than it holds",
          "0 rows, damaged: xl/worksheets/sheet1.xml fails its CRC check"}},
    });
}

}  // namespace
