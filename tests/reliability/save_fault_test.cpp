// SAVE when the disk fills up part-way through a long history, or when the folder is not a
// folder: the old file stays as it was, no temporary file is left, and the status says so.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "export/save_history_workbook.h"
#include "history_rows.h"
#include "restricted_save.h"
#include "temp_dir.h"

using namespace qm4250;

namespace {

const std::string kOldContent = "the previous history, which must survive";

// Long enough that every writer has flushed several buffers before the disk fills.
History LongHistory() {
    constexpr int kRecords = 5000;
    std::vector<std::string> frames{"1S4250117"};
    for (int k = 1; k <= kRecords; ++k)
        frames.push_back("1" + std::to_string(k) + ",PN" + std::to_string(k % 7) + ",C" +
                         std::to_string(k) + ",0.00" + std::to_string(k % 90) + ",N,0," +
                         (k % 10 ? "28" : "1"));
    return HistoryOf(frames);
}

class DiskFull : public testing::TestWithParam<const char*> {};

void ExpectHalfwayFailureKeepsTheOldFile(const std::string& extension) {
    TempDir dir;
    std::string whole = dir / ("whole" + extension);
    ASSERT_EQ(Save(LongHistory(), whole), kSaved);
    auto fullSize = std::filesystem::file_size(whole);
    std::filesystem::remove(whole);

    std::string target = dir / ("history" + extension);
    std::ofstream(target) << kOldContent;
    // The limit stops the workbook library's own temporary files too, whose failed writes it
    // does not notice: the workbook read back is not whole.
    EXPECT_EQ(SaveOnAFullDisk(LongHistory(), target, fullSize / 2),
              extension == ".xlsx" ? NotSaved(Failure::Kind::Incomplete) : NotSaved(EFBIG));
    EXPECT_TRUE(FileContent(target) == kOldContent) << "the old file was replaced";
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"history" + extension});
}

TEST_P(DiskFull, HalfwayThroughTheFileKeepsTheOldOneAndLeavesNoTemporaryFile) {
    ExpectHalfwayFailureKeepsTheOldFile(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Formats, DiskFull, testing::Values(".xls", ".xlsx", ".csv"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param + 1);
                         });

TEST(UnwritableFolder, AFileWhereTheFolderShouldBeIsLeftAlone) {
    TempDir dir;
    std::string notAFolder = dir / "history";
    std::ofstream(notAFolder) << kOldContent;
    for (const char* extension : {".xls", ".xlsx", ".csv"}) {
        EXPECT_EQ(Save(LongHistory(), notAFolder + "/h" + extension), NotSaved(ENOTDIR))
            << extension;
    }
    EXPECT_TRUE(FileContent(notAFolder) == kOldContent);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"history"});
}

}  // namespace
