// The .csv and .xlsx readers against hostile files: each case is made here, read in a child
// process under a memory limit, and must end in its outcome, never in a crash or a runaway. And
// workbooks of several sheets and real dates from python3-openpyxl and python3-xlwt, read by both
// workbook readers to the same rows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "sheets/csv_reader.h"
#include "sheets/hostile_files.h"
#include "sheets/python_workbook.h"
#include "sheets/sheet_reader.h"
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

// The bytes with the one place that holds `from` holding `to`, of the same length.
std::string Replaced(std::string bytes, const std::string& from, const std::string& to) {
    size_t at = bytes.find(from);
    EXPECT_TRUE(at != std::string::npos && bytes.find(from, at + 1) == std::string::npos) << from;
    return at == std::string::npos ? bytes : bytes.replace(at, from.size(), to);
}

std::string SheetXml(const std::string& sheetData) {
    return SpreadsheetXml("worksheet", "<sheetData>" + sheetData + "</sheetData>");
}

std::string SheetEntry(const std::string& name, const std::string& id) {
    return "<sheet name=\"" + name + "\" r:id=\"" + id + "\"/>";
}

std::vector<ZipPart> Without(std::vector<ZipPart> parts, const std::string& name) {
    std::erase_if(parts, [&](const ZipPart& part) { return part.first == name; });
    return parts;
}

class SheetReaderTest : public testing::Test {
  protected:
    std::string path(const std::string& name) const {
        return (folder_.path() + "/" + QString::fromStdString(name)).toStdString();
    }
    std::string xlsx(const std::string& name, const std::vector<ZipPart>& parts,
                     int method = Z_DEFLATED) const {
        EXPECT_TRUE(WriteZip(path(name), parts, method));
        return path(name);
    }
    std::string file(const std::string& name, const std::string& bytes) const {
        WriteFile(path(name), bytes);
        return path(name);
    }
    std::string zipBytes(const std::vector<ZipPart>& parts, int method = Z_DEFLATED) const {
        std::string made = xlsx("made.xlsx", parts, method);
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

// A record holds at most 1 MiB, the line end that ends it not counted, whatever that is.
TEST_F(SheetReaderTest, CsvRecordsHoldOneMiBTheirLineEndsNotCounted) {
    auto csv = [&](const std::string& name, size_t size, const std::string& end) {
        std::string next = end.empty() ? "" : "2,b" + end;
        return file(name, "SEQ#,PN\n1," + std::string(size - 2, 'x') + end + next);
    };
    const size_t most = kMaxCsvRecordBytes;
    const std::string header = "read | 1:SEQ#;PN;;;;;;;; 2:";
    const std::string kept = header + "1;xxxxxxxx", skipped = header + "too long ";
    expectAll({
        {csv("lf.csv", most, "\n"), {"1 MiB and LF", "3 rows, " + kept}},
        {csv("crlf.csv", most, "\r\n"), {"1 MiB and CR LF", "3 rows, " + kept}},
        {csv("cr.csv", most, "\r"), {"1 MiB and CR", "3 rows, " + kept}},
        {csv("eof.csv", most, ""), {"1 MiB at the end", "2 rows, " + kept}},
        {csv("lf1.csv", most + 1, "\n"), {"a byte more and LF", "2 rows, " + skipped + "3:2;b;"}},
        {csv("crlf1.csv", most + 1, "\r\n"),
         {"a byte more and CR LF", "2 rows, " + skipped + "3:2;b;"}},
        {csv("eof1.csv", most + 1, ""), {"a byte more at the end", "1 rows, " + skipped}},
    });
}

TEST_F(SheetReaderTest, XlsxRowsAndCellsStayInsideTheSheet) {
    const std::string sheet = "0 rows, damaged: xl/worksheets/sheet1.xml";
    auto one = [&](const std::string& name, const std::string& sheetData) {
        return xlsx(name, XlsxParts(sheetData));
    };
    expectAll({
        {one("no-r.xlsx", "<row>" + InlineCell("SEQ#") + "</row>"),
         {"a first row without r", "1 rows, read | [Sheet1] 1:SEQ#;"}},
        {one("later-no-r.xlsx", "<row r=\"3\">" + InlineCell("a", "A3") + "</row><row>" +
                                    "<c r=\"B4\"><v>1</v></c><c><v>2</v></c></row>"),
         {"a later row and a cell without r", "2 rows, read | [Sheet1] 3:a;;;;;;;;; 4:;1;2;"}},
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
         {"100,000 escapes in a cell", "1 rows, read | [Sheet1] 1:AAAAAAAAAAAAAAAA"}},
        {one("huge-cell.xlsx", "<row>" + InlineCell(Letters(2 << 20)) + "</row>"),
         {"a cell past 1 MiB", "0 rows, read | [Sheet1] 1:too long"}},
        {one("attributes.xlsx", "<row r=\"1\"" + Repeated(" a=\"\"", 20'000) + "/>"),
         {"20,000 attributes", "0 rows, too large: xl/worksheets/sheet1.xml has a tag longer"}},
        {one("entity.xlsx", "<row>" + InlineCell("&undefined;") + "</row>"),
         {"an undeclared entity", sheet + ", line 1:"}},
    });
}

TEST_F(SheetReaderTest, XlsxPartsStayWithinTheirSizes) {
    std::vector<ZipPart> referring = XlsxParts("<row><c t=\"s\"><v>1</v></c></row>", "<si/>");
    std::vector<ZipPart> withDoctype = WithPart(XlsxParts(""), "xl/worksheets/sheet1.xml",
                                                "<!DOCTYPE w [<!ENTITY a \"b\">]><worksheet/>");
    std::vector<ZipPart> bomb = XlsxParts("", Repeated("<si/>", 4'000'000));
    std::string small = zipBytes(XlsxParts("<row><c><v>1</v></c></row>"));
    expectAll({
        {file("not-zip.xlsx", "SEQ#,PN\n"), {"not a zip", "0 rows, damaged: not a zip archive"}},
        {xlsx("shared.xlsx", XlsxParts("<row><c t=\"s\"><v>1</v></c></row>",
                                       "<si><t>a</t></si><si><r><t>SE</t></r><r><t>Q#</t></r>"
                                       "<rPh><t>phonetic</t></rPh></si>")),
         {"rich text in a shared string", "1 rows, read | [Sheet1] 1:SEQ#;"}},
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

// A part is inflated to its end and checked against its header, however early its XML ends: a
// byte changed in a stored part, or a size declared longer or shorter than the part, is damage.
TEST_F(SheetReaderTest, XlsxPartsAreReadWholeAndCheckedAgainstTheirHeaders) {
    const std::string sheetData =
        "<row>" + InlineCell("SEQ#") + "</row><row><c r=\"D2\"><v>9.9911</v></c></row>";
    const std::vector<ZipPart> parts = XlsxParts(sheetData, "<si><t>a</t></si>");
    const std::string sheet = parts[0].second;
    const std::vector<ZipPart> padded =
        WithPart(parts, "xl/worksheets/sheet1.xml", sheet + std::string(100, '\n'));
    const std::string stored = zipBytes(parts, 0);
    const std::string rowsRead = "2 rows, read | [Sheet1] 1:SEQ#;;;;;;;;; 2:;;;9.9911;";
    const std::string sheetDamaged = "2 rows, damaged: xl/worksheets/sheet1.xml";
    const std::string declares = std::to_string(sheet.size() + 88);
    expectAll({
        {file("stored.xlsx", stored), {"stored as it is", rowsRead}},
        {file("padded.xlsx", zipBytes(padded)), {"line ends after the root element", rowsRead}},
        {file("leak.xlsx", Replaced(stored, "9.9911", "9.9912")),
         {"a leak changed, the XML whole", sheetDamaged + " fails its CRC check"}},
        {file("string.xlsx", Replaced(stored, "<t>a</t>", "<t>b</t>")),
         {"a shared string changed", "0 rows, damaged: xl/sharedStrings.xml fails its CRC check"}},
        {file("longer.xlsx", WithDeclaredSize(zipBytes(parts), sheet.size() + 88)),
         {"declared 88 bytes longer", sheetDamaged + " inflates to " +
                                          std::to_string(sheet.size()) +
                                          " bytes, but its header declares " + declares}},
        {file("shorter.xlsx", WithDeclaredSize(zipBytes(padded), sheet.size())),
         {"declared without the line ends", sheetDamaged + " fails its CRC check"}},
    });
}

// Three worksheets, the second empty, to which the cases below name sheets and relationships.
TEST_F(SheetReaderTest, XlsxWorkbooksNameTheirWorksheets) {
    const std::string a = SheetXml("<row>" + InlineCell("a") + "</row>");
    XlsxPackage package;
    package.worksheets = {{"Eins", a}, {"Zwei", SheetXml("")}, {"Drei", a}};
    const std::vector<ZipPart> three = XlsxPackageParts(package);
    const std::string eins = SheetEntry("Eins", "rId1"), drei = SheetEntry("Drei", "rId3");
    const std::string sheets123 = eins + SheetEntry("Zwei", "rId2") + drei;
    auto to = [](const std::string& id, const std::string& target) {
        return Relationship(id, "worksheet", target);
    };
    const std::string rIds = to("rId1", "worksheets/sheet1.xml") +
                             to("rId2", "worksheets/sheet2.xml") +
                             to("rId3", "worksheets/sheet3.xml");
    auto book = [&](const std::string& sheets, const std::string& relationships) {
        return WithPart(WithPart(three, "xl/workbook.xml",
                                 SpreadsheetXml("workbook", "<sheets>" + sheets + "</sheets>")),
                        "xl/_rels/workbook.xml.rels", RelationshipsXml(relationships));
    };
    auto times = [](const std::string& sheet, size_t count) { return Repeated(sheet, count); };
    const std::string emoji = "\U0001F600";  // two UTF-16 code units
    const std::string comment = "<!--" + std::string(1'000'000, 'x') + "-->";
    const std::string damaged = "0 rows, damaged: ";
    expectAll({
        {xlsx("three.xlsx", three),
         {"three worksheets", "2 rows, read | [Eins] 1:a;;;;;;;;; [Zwei] [Drei] 1:a;;;;;;;;; "}},
        {xlsx("chart.xlsx",
              book(eins + SheetEntry("Chart", "rIdC") + SheetEntry("Makro", "rIdM") + drei,
                   rIds + Relationship("rIdC", "chartsheet", "chartsheets/c.xml") +
                       Relationship("rIdM", "xlMacrosheet", "macrosheets/m.xml"))),
         {"a chart sheet and a macro sheet passed over",
          "2 rows, read | [Eins] 1:a;;;;;;;;; [Drei]"}},
        {xlsx("targets.xlsx", book(sheets123, to("rId1", "/xl/worksheets/sheet1.xml") +
                                                  to("rId2", "../xl/./worksheets//sheet2.xml") +
                                                  to("rId3", "WORKSHEETS/Sheet3.XML"))),
         {"from the root, through .., in capitals",
          "2 rows, read | [Eins] 1:a;;;;;;;;; [Zwei] [Drei]"}},
        {xlsx("names.xlsx", book(SheetEntry("Pr\u00fcfung_x0020_\u03a9", "rId1") +
                                     SheetEntry(std::string(29, 'n') + emoji, "rId2"),
                                 rIds)),
         {"names in UTF-8 and escapes, 31 code units",
          "1 rows, read | [Pr\u00fcfung \u03a9] 1:a;;;;;;;;; [" + std::string(29, 'n') + emoji +
              "] "}},
        {xlsx("long-name.xlsx", book(SheetEntry(std::string(30, 'n') + emoji, "rId1"), rIds)),
         {"a name of 32 code units",
          damaged + "xl/workbook.xml: sheet 1 has a name longer than 31 characters"}},
        {xlsx("no-workbook.xlsx", Without(three, "xl/workbook.xml")),
         {"no workbook part", damaged + "the package has no xl/workbook.xml"}},
        {xlsx("no-rels.xlsx", Without(three, "xl/_rels/workbook.xml.rels")),
         {"no relationships", damaged + "the package has no xl/_rels/workbook.xml.rels"}},
        {xlsx("no-sheets.xlsx", book("", rIds)),
         {"no sheets", damaged + "the workbook has no worksheet"}},
        {xlsx("only-chart.xlsx", book(SheetEntry("Chart", "rId1"),
                                      Relationship("rId1", "chartsheet", "worksheets/sheet1.xml"))),
         {"a chart sheet only", damaged + "the workbook has no worksheet"}},
        {xlsx("no-id.xlsx", book("<sheet name=\"x\"/>", rIds)),
         {"a sheet without r:id", damaged + "xl/workbook.xml: sheet 1 names no relationship"}},
        {xlsx("unrelated.xlsx", book(sheets123 + SheetEntry("Vier", "rId9"), rIds)),
         {"a sheet whose relationship is not there",
          damaged + "xl/_rels/workbook.xml.rels has no relationship for sheet 4"}},
        {xlsx("missing.xlsx", book(sheets123, to("rId1", "worksheets/sheet1.xml") +
                                                  to("rId2", "worksheets/missing.xml") +
                                                  to("rId3", "worksheets/sheet3.xml"))),
         {"a worksheet part that is not there",
          "1 rows, damaged: the package has no xl/worksheets/missing.xml | [Eins] 1:a;"}},
        {xlsx("passwd.xlsx", book(eins, to("rId1", "../../etc/passwd"))),
         {"a target above the package", damaged + "xl/workbook.xml: sheet 1 lies outside"}},
        {xlsx("url.xlsx", book(eins, to("rId1", "http://example.com/sheet1.xml"))),
         {"a target at a URL", damaged + "xl/workbook.xml: sheet 1 lies outside"}},
        {xlsx("external.xlsx",
              book(eins,
                   "<Relationship Id=\"rId1\" TargetMode=\"External\" Target=\"worksheets/"
                   "sheet1.xml\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                   "2006/relationships/worksheet\"/>")),
         {"an external target", damaged + "xl/workbook.xml: sheet 1 lies outside"}},
        {xlsx("strings-outside.xlsx",
              book(eins, rIds + Relationship("rIdS", "sharedStrings", "//host/s.xml"))),
         {"shared strings on another host",
          damaged + "the workbook's shared strings lie outside the package"}},
        {xlsx("10001.xlsx", book(times(SheetEntry("s", "rId1"), 10'001), rIds)),
         {"10,001 sheets", "0 rows, too large: xl/workbook.xml lists more than 10000 sheets"}},
        {xlsx("10000.xlsx", book(times(SheetEntry("s", "rId1"), 10'000), rIds)),
         {"10,000 sheets of one part", "10000 rows, read | [s] 1:a;;;;;;;;; [s] 1:a;"}},
        {xlsx("budget.xlsx", WithPart(book(times(eins, 70), rIds), "xl/worksheets/sheet1.xml",
                                      SpreadsheetXml("worksheet", comment))),
         {"70 sheets of one part of 1 MB",
          "0 rows, too large: the parts read would inflate to more than 100 times the file's size "
          "altogether, at xl/worksheets/sheet1.xml | [Eins] [Eins]"}},
    });
}

// Cell formats of both kinds of number format, and cell formats of other sorts around them.
TEST_F(SheetReaderTest, XlsxNumbersInDateFormatsAreDates) {
    const std::string styles = SpreadsheetXml(
        "styleSheet",
        "<numFmts><numFmt numFmtId=\"164\" formatCode=\"mmm dd/yy hh:mm:ss\"/>"
        "<numFmt numFmtId=\"165\" formatCode=\"0.0 &quot;d&quot;\"/>"
        "<numFmt numFmtId=\"14\" formatCode=\"0.00\"/></numFmts>"
        "<cellStyleXfs><xf numFmtId=\"22\"/></cellStyleXfs>"
        "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"22\"/><xf numFmtId=\"164\"/>"
        "<xf numFmtId=\"165\"/><xf numFmtId=\"14\"/><xf/><xf numFmtId=\"47\"/></cellXfs>"
        "<dxfs><dxf><numFmt numFmtId=\"165\" formatCode=\"yyyy\"/></dxf></dxfs>");
    auto cell = [](const std::string& attributes, const std::string& inside) {
        return "<c " + attributes + ">" + inside + "</c>";
    };
    const std::string v = "<v>45355.43090277778</v>";
    const std::string sheet = SheetXml(
        "<row>" + cell("s=\"1\"", v) + cell("s=\"2\"", "<v>44259.43090277778</v>") +
        cell("s=\"3\"", "<v>3.5</v>") + cell("s=\"4\"", v) + cell("s=\"5\"", v) + cell("", v) +
        cell("s=\"6\"", "<v>0.0000060</v>") + "</row><row>" + cell("s=\"1\"", "<f>NOW()</f>" + v) +
        cell("s=\"1\" t=\"n\"", "<v>45355.5</v>") + cell("s=\"1\" t=\"str\"", v) +
        cell("s=\"1\"", "<v>-1</v>") + cell("s=\"1\"", "<v>2958466</v>") +
        cell("s=\"1\"", "<v>1e3x</v>") + cell("s=\"7\"", v) + cell("s=\"x\"", v) + "</row>");
    XlsxPackage dates;
    dates.worksheets = {{"Daten", sheet}};
    dates.styles = styles;
    XlsxPackage mac = dates;
    mac.workbookPr = "date1904=\"true\"";
    XlsxPackage manyFormats = dates, manyCells = dates;
    const std::string noise = Letters(64'001 * 8);
    std::string formats, cells;
    for (size_t k = 0; k < 64'001; ++k) {
        std::string letters = noise.substr(k * 8, 8);
        cells += "<xf numFmtId=\"14\" n=\"" + letters + "\"/>";
        if (k < 4'001)
            formats += "<numFmt numFmtId=\"" + std::to_string(200 + k) + "\" formatCode=\"" +
                       letters + "\"/>";
    }
    manyFormats.styles = SpreadsheetXml("styleSheet", "<numFmts>" + formats + "</numFmts>");
    manyCells.styles = SpreadsheetXml("styleSheet", "<cellXfs>" + cells + "</cellXfs>");
    const std::string first = "2024-03-04 10:20:30";
    expectAll({
        {xlsx("dates.xlsx", XlsxPackageParts(dates)),
         {"built-in and defined formats",
          "2 rows, read | [Daten] 1:" + first + ";2021-03-04 10:20:30;3.5;45355.43090277778;" +
              "45355.43090277778;45355.43090277778;1899-12-31 00:00:00.518;;; 2:" + first +
              ";2024-03-04 12:00:00;45355.43090277778;-1;2958466;1e3x;45355.43090277778;" +
              "45355.43090277778;;"}},
        {xlsx("mac.xlsx", XlsxPackageParts(mac)),
         {"the 1904 date system", "| [Daten] 1:2028-03-05 10:20:30;2025-03-05 10:20:30;3.5;"}},
        {xlsx("formats.xlsx", XlsxPackageParts(manyFormats)),
         {"4,001 number formats",
          "0 rows, too large: xl/styles.xml defines more than 4000 number formats"}},
        {xlsx("cells.xlsx", XlsxPackageParts(manyCells)),
         {"64,001 cell formats",
          "0 rows, too large: xl/styles.xml has more than 64000 cell formats"}},
    });
}

// The same workbook, written by python3-openpyxl as .xlsx and by python3-xlwt as .xls: worksheets
// with names beyond ASCII, an empty one between them (and in the .xlsx a chart sheet too), dates
// in built-in and defined formats, and numbers in formats that show none. `system` 1904 writes
// one date in the 1904 date system instead.
const char* const kWorkbookScript = R"(
import sys, datetime
path, library, system = sys.argv[1:4]
D = datetime.datetime
def serial(moment):
    return (moment - D(1899, 12, 30)).total_seconds() / 86400
if system == '1904':
    sheets = [('Mac', [[(D(2024, 3, 4, 10, 20, 30), 'yyyy-mm-dd hh:mm:ss')]])]
else:
    sheets = [
        ('Pr\u00fcfung \u03a9', [
            ['SEQ#', 'Zeit', 'Nummer'],
            [1, (D(2024, 3, 4, 10, 20, 30), 'yyyy-mm-dd hh:mm:ss'), (45000.5, '0.00')],
            [2, (D(2024, 2, 29), 'mm-dd-yy'), (3.5, '0.0 "d"')],
            [3, (serial(D(2024, 1, 2, 3, 4, 5, 678000)), 'yyyy-mm-dd hh:mm:ss.000')],
            [4, (D(2021, 3, 4, 10, 20, 30), 'mmm dd/yy hh:mm:ss'), 17],
            [5, (D(2024, 5, 6, 7, 8, 9), 'h:mm:ss'), (D(1900, 3, 1), 'yyyy-mm-dd'),
             (D(1900, 1, 15), 'yyyy-mm-dd')],
        ]),
        ('Leer', []),
        ('\u65e5\u672c', [['second sheet', 17]]),
    ]
if library == 'openpyxl':
    import openpyxl
    from openpyxl.chart import BarChart, Reference
    from openpyxl.utils.datetime import CALENDAR_MAC_1904
    book = openpyxl.Workbook()
    book.remove(book.active)
    if system == '1904':
        book.epoch = CALENDAR_MAC_1904
    for name, rows in sheets:
        sheet = book.create_sheet(name)
        for r, row in enumerate(rows, 1):
            for c, value in enumerate(row, 1):
                cell = sheet.cell(r, c, value[0] if isinstance(value, tuple) else value)
                if isinstance(value, tuple):
                    cell.number_format = value[1]
    if system != '1904':
        chart = BarChart()
        chart.add_data(Reference(book.worksheets[0], min_col=1, min_row=2, max_row=6))
        book.create_chartsheet('Diagramm', 1).add_chart(chart)
    book.save(path)
else:
    import xlwt
    builtIn = {'mm-dd-yy': 'M/D/YY'}
    book = xlwt.Workbook()
    book.dates_1904 = system == '1904'
    for name, rows in sheets:
        sheet = book.add_sheet(name)
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                if isinstance(value, tuple):
                    style = xlwt.easyxf(num_format_str=builtIn.get(value[1], value[1]))
                    sheet.write(r, c, value[0], style)
                else:
                    sheet.write(r, c, value)
    book.save(path)
)";

// Stops the reading at the sheet of this name.
class RowsUntilSheet : public CollectedRows {
  public:
    explicit RowsUntilSheet(std::string last) : last_(std::move(last)) {}
    bool sheet(std::string_view name) override {
        return CollectedRows::sheet(name) && name != last_;
    }

  private:
    std::string last_;
};

class WorkbookFromAnotherProgram : public SheetReaderTest,
                                   public testing::WithParamInterface<const char*> {
  protected:
    std::string written(const std::string& system) {
        std::string library = GetParam();
        std::string made = path(system + (library == "xlwt" ? ".xls" : ".xlsx"));
        EXPECT_TRUE(WriteWithPython(kWorkbookScript, made, library + " " + system))
            << "python3-" << library << " wrote no workbook";
        return made;
    }
};

TEST_P(WorkbookFromAnotherProgram, ReadsEveryWorksheetAndItsDates) {
    CollectedRows rows;
    EXPECT_EQ(OutcomeText(ReadSheetRows(written("1900"), rows)), "read");
    EXPECT_EQ(rows.shown(),
              "[Pr\u00fcfung \u03a9] 1:SEQ#;Zeit;Nummer;;;;;;; "
              "2:1;2024-03-04 10:20:30;45000.5;;;;;;; "
              "3:2;2024-02-29 00:00:00;3.5;;;;;;; "
              "4:3;2024-01-02 03:04:05.678;;;;;;;; "
              "5:4;2021-03-04 10:20:30;17;;;;;;; "
              "6:5;2024-05-06 07:08:09;1900-03-01 00:00:00;1900-01-15 00:00:00;;;;;; "
              "[Leer] [\u65e5\u672c] 1:second sheet;17;;;;;;;; ");
    CollectedRows mac;
    EXPECT_EQ(OutcomeText(ReadSheetRows(written("1904"), mac)), "read");
    EXPECT_EQ(mac.shown(), "[Mac] 1:2024-03-04 10:20:30;;;;;;;;; ");
}

TEST_P(WorkbookFromAnotherProgram, TheReceiverStopsTheReadingAtASheet) {
    RowsUntilSheet rows("Leer");
    EXPECT_EQ(OutcomeText(ReadSheetRows(written("1900"), rows)), "read");
    EXPECT_EQ(rows.rows(), 6u);
    EXPECT_TRUE(rows.shown().ends_with("[Leer] ")) << rows.shown();
}

INSTANTIATE_TEST_SUITE_P(Programs, WorkbookFromAnotherProgram, testing::Values("openpyxl", "xlwt"));

}  // namespace
