#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "export/xls/xls_writer.h"
#include "xls_reader.h"

using namespace qm4250;

namespace {

enum : uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kXf = 0x00E0,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kLabelSst = 0x00FD,
    kWsBool = 0x0081,
    kDimensions = 0x0200,
    kWindow2 = 0x023E,
};

// Distinct texts in every row, long Latin-1 and UTF-16 ones among them, so that the strings
// outgrow one SST record and get split.
CellTable LargeTable(size_t rows) {
    CellTable table;
    for (size_t r = 0; r < rows; ++r) {
        std::string n = std::to_string(r);
        SheetRow row{n, "PN " + n, "", "caf\xC3\xA9 " + n, "\xE2\x82\xAC" + n, "On", "Off"};
        if (r % 50 == 7)
            row[2] = std::string(300 + r % 400, 'x') + n;
        if (r % 70 == 3)
            row[8] = "\xE2\x82\xAC" + std::string(1000 + r % 300, 'y');
        table.push_back(row);
    }
    return table;
}

struct Checked {
    std::string stream;
    std::vector<BiffRecord> records;
};

size_t IndexOf(const std::vector<BiffRecord>& records, uint16_t type) {
    auto found = std::find_if(records.begin(), records.end(),
                              [&](const BiffRecord& r) { return r.type == type; });
    if (found == records.end())
        throw std::runtime_error("record missing");
    return static_cast<size_t>(found - records.begin());
}

// Checks every rule the file must keep, returning what it read.
Checked CheckStructure(const std::string& file) {
    Checked c{WorkbookStream(file), {}};
    c.records = SplitRecords(c.stream);
    const std::vector<BiffRecord>& rs = c.records;

    for (size_t k = 0; k < rs.size(); ++k) {
        if (rs[k].type == kContinue) {
            EXPECT_TRUE(rs[k - 1].type == kSst || rs[k - 1].type == kContinue) << k;
        }
    }

    size_t boundSheet = IndexOf(rs, kBoundSheet);
    uint32_t sheetOffset = U32At(rs[boundSheet].data, 0);
    auto sheetBof = std::find_if(rs.begin(), rs.end(),
                                 [&](const BiffRecord& r) { return r.position == sheetOffset; });
    EXPECT_TRUE(sheetBof != rs.end() && sheetBof->type == kBof &&
                U16At(sheetBof->data, 2) == 0x0010);

    std::vector<uint16_t> xfStyleFlags;
    for (const BiffRecord& r : rs)
        if (r.type == kXf)
            xfStyleFlags.push_back(U16At(r.data, 4) & 0x0004);
    EXPECT_EQ(xfStyleFlags.size(), 16u);
    for (size_t xf = 0; xf < xfStyleFlags.size(); ++xf)
        EXPECT_EQ(xfStyleFlags[xf] != 0, xf < 15) << "XF " << xf;

    size_t sst = IndexOf(rs, kSst);
    std::vector<SstString> strings = ReadSst(rs, sst);
    size_t cells = std::count_if(rs.begin(), rs.end(),
                                 [](const BiffRecord& r) { return r.type == kLabelSst; });
    EXPECT_EQ(U32At(rs[sst].data, 0), cells);
    EXPECT_EQ(U32At(rs[sst].data, 4), strings.size());
    for (const BiffRecord& r : rs) {
        if (r.type == kLabelSst) {
            EXPECT_EQ(U16At(r.data, 4), 15);
        }
    }

    const BiffRecord& extSst = rs[IndexOf(rs, kExtSst)];
    uint16_t bucket = U16At(extSst.data, 0);
    EXPECT_GE(bucket, 8);
    size_t buckets = (strings.size() + bucket - 1) / bucket;
    EXPECT_EQ(extSst.data.size(), 2 + 8 * buckets);
    EXPECT_LE(buckets, 128u);
    for (size_t b = 0; b < buckets && 2 + 8 * b < extSst.data.size(); ++b) {
        const SstString& first = strings[b * bucket];
        EXPECT_EQ(U32At(extSst.data, 2 + 8 * b), first.position) << "bucket " << b;
        EXPECT_EQ(U16At(extSst.data, 6 + 8 * b), first.position - first.recordPosition);
    }

    for (uint16_t type : {kWsBool, kDimensions, kWindow2})
        EXPECT_GT(IndexOf(rs, type), IndexOf(rs, kEof)) << "sheet record " << type;
    EXPECT_GE(c.stream.size(), 4096u);
    return c;
}

TEST(XlsStructure, SmallWorkbookIsPaddedOutOfTheMiniStream) {
    CellTable table{SheetRow{"SEQ#", "PN"}, SheetRow{"", "\xC3\xA9", "", "", "", "", "", "", "I"}};
    std::optional<std::string> file = XlsFile(table);
    ASSERT_TRUE(file);
    Checked c = CheckStructure(*file);
    EXPECT_EQ(ReadCells(c.records), table);
    const BiffRecord& dimensions = c.records[IndexOf(c.records, kDimensions)];
    EXPECT_EQ(U32At(dimensions.data, 4), 2u);  // rows 0 to 1
    EXPECT_EQ(U16At(dimensions.data, 10), 9);  // columns A to I
}

TEST(XlsStructure, LargeWorkbookSplitsItsStringsOverContinueRecords) {
    CellTable table = LargeTable(6000);
    std::optional<std::string> file = XlsFile(table);
    ASSERT_TRUE(file);
    Checked c = CheckStructure(*file);
    EXPECT_GT(std::count_if(c.records.begin(), c.records.end(),
                            [](const BiffRecord& r) { return r.type == kContinue; }),
              10);
    EXPECT_EQ(ReadCells(c.records), table);
}

TEST(XlsStructure, FullSheetNeedsDifatSectors) {
    CellTable table = LargeTable(65536);
    std::optional<std::string> file = XlsFile(table);
    ASSERT_TRUE(file);
    EXPECT_GT(U32At(*file, 72), 0u) << "no DIFAT sectors";
    EXPECT_GT(U32At(*file, 44), 109u);
    Checked c = CheckStructure(*file);
    EXPECT_EQ(ReadCells(c.records), table);
}

TEST(XlsStructure, TablesBeyondASheetAreRefused) {
    EXPECT_FALSE(XlsFile(CellTable(65537, SheetRow{"x"})));
    EXPECT_FALSE(XlsFile(CellTable{SheetRow{std::string(32768, 'x')}}));
    EXPECT_TRUE(XlsFile(CellTable{SheetRow{std::string(32767, 'x')}}));
}

}  // namespace
