// A written .xlsx is only reported as saved when every part in it is whole: a part truncated by a
// full disk, or a worksheet short of rows, makes it incomplete.
#include "export/xlsx_check.h"

#include <gtest/gtest.h>
#include <unzip.h>
#include <zip.h>

#include <fstream>
#include <functional>
#include <map>

#include "export/xlsx_writer.h"
#include "temp_dir.h"

using namespace qm4250;

namespace {

using Parts = std::map<std::string, std::string>;

Parts ReadParts(const std::string& path) {
    Parts parts;
    unzFile archive = unzOpen64(path.c_str());
    for (int at = unzGoToFirstFile(archive); at == UNZ_OK; at = unzGoToNextFile(archive)) {
        char name[256];
        unz_file_info64 info;
        unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        std::string content(info.uncompressed_size, '\0');
        unzOpenCurrentFile(archive);
        unzReadCurrentFile(archive, content.data(), static_cast<unsigned>(content.size()));
        unzCloseCurrentFile(archive);
        parts[name] = content;
    }
    unzClose(archive);
    return parts;
}

// A well-formed archive, CRCs and all, holding exactly these parts.
void WriteParts(const Parts& parts, const std::string& path) {
    zipFile archive = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto& [name, content] : parts) {
        zipOpenNewFileInZip64(archive, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0);
        zipWriteInFileInZip(archive, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(archive);
    }
    zipClose(archive, nullptr);
}

const CellTable kTable = {
    {"SN", "Model", "<row r=\"9\">"},
    {},
    {"1", "PN1", "0.005"},
    {"2", "", "_x0001_"},
};
constexpr size_t kRowsWithText = 3;

struct Damage {
    const char* what;
    std::function<void(Parts&)> apply;
    size_t expectedRows;
    bool complete;
};

class XlsxCheck : public testing::TestWithParam<Damage> {};

TEST_P(XlsxCheck, TellsAWholeWorkbookFromADamagedOne) {
    TempDir dir;
    std::string written = dir / "written.xlsx";
    ASSERT_TRUE(WriteXlsx(kTable, written));
    Parts parts = ReadParts(written);
    ASSERT_TRUE(parts.count("xl/worksheets/sheet1.xml") && parts.count("xl/sharedStrings.xml"));
    GetParam().apply(parts);
    std::string damaged = dir / "damaged.xlsx";
    WriteParts(parts, damaged);
    EXPECT_EQ(XlsxIsComplete(damaged, {GetParam().expectedRows}), GetParam().complete);
}

void Truncate(Parts& parts, const std::string& name, size_t keep) {
    parts[name].resize(keep);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, XlsxCheck,
    testing::Values(Damage{"Untouched", [](Parts&) {}, kRowsWithText, true},
                    Damage{"OneRowMoreExpected", [](Parts&) {}, kRowsWithText + 1, false},
                    Damage{"OneRowFewerExpected", [](Parts&) {}, kRowsWithText - 1, false},
                    Damage{"SheetCutInHalf",
                           [](Parts& p) {
                               Truncate(p, "xl/worksheets/sheet1.xml",
                                        p["xl/worksheets/sheet1.xml"].size() / 2);
                           },
                           kRowsWithText, false},
                    Damage{"SharedStringsLostTheirClosingTag",
                           [](Parts& p) {
                               Truncate(p, "xl/sharedStrings.xml",
                                        p["xl/sharedStrings.xml"].size() - 6);
                           },
                           kRowsWithText, false},
                    Damage{"StylesEmpty", [](Parts& p) { p["xl/styles.xml"].clear(); },
                           kRowsWithText, false},
                    Damage{"SheetMissing", [](Parts& p) { p.erase("xl/worksheets/sheet1.xml"); },
                           kRowsWithText, false},
                    Damage{"TrailingNewlineAfterTheRoot",
                           [](Parts& p) { p["xl/workbook.xml"] += "\r\n"; }, kRowsWithText, true}),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.what); });

TEST(XlsxCheckFile, NotAnArchiveOrNoFileIsIncomplete) {
    TempDir dir;
    std::string text = dir / "text.xlsx";
    std::ofstream(text) << "SN;Model\n1;PN1\n";
    EXPECT_FALSE(XlsxIsComplete(text, {2}));
    EXPECT_FALSE(XlsxIsComplete(dir / "absent.xlsx", {0}));
}

}  // namespace
