#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "export/save_history_workbook.h"
#include "history_rows.h"
#include "restricted_save.h"
#include "temp_dir.h"

using namespace qm4250;

namespace {

const std::string kOldContent = "the previous history, which must survive";

History SmallHistory() {
    return HistoryOf({"1S1", "11,PN,CC,0.1,E,0,4"});
}

const std::vector<std::string> kExtensions{".xls", ".xlsx", ".csv"};

TEST(AtomicSave, ReplacesAnExistingFileWithTheNewHistory) {
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::string target = dir / ("h" + extension);
        std::ofstream(target) << kOldContent;
        EXPECT_EQ(Save(SmallHistory(), target), kSaved) << extension;
        EXPECT_NE(FileContent(target), kOldContent);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h" + extension});
    }
}

// The link stays a link; the file it leads to takes the workbook and keeps its mode and owner.
TEST(AtomicSave, SavingOverALinkReplacesTheFileItLeadsTo) {
    namespace fs = std::filesystem;
    constexpr uid_t kNobody = 65534;
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::string file = dir / ("kept" + extension);
        std::ofstream(file) << kOldContent;
        fs::permissions(file,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        bool chowned = geteuid() == 0 && chown(file.c_str(), kNobody, kNobody) == 0;
        fs::create_symlink("kept" + extension, dir / ("h" + extension));

        ASSERT_EQ(Save(SmallHistory(), dir / ("h" + extension)), kSaved);
        EXPECT_EQ(fs::read_symlink(dir / ("h" + extension)), "kept" + extension);
        EXPECT_NE(FileContent(file), kOldContent);
        struct stat saved;
        ASSERT_EQ(stat(file.c_str(), &saved), 0);
        EXPECT_EQ(saved.st_mode & 07777, 0640u) << extension;
        if (chowned) {
            EXPECT_EQ(saved.st_uid, kNobody) << extension;
        }
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"h" + extension, "kept" + extension}));
    }
}

TEST(AtomicSave, LinksThatLeadNowhereOrLoop) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_symlink("new.csv", dir / "dangling.csv");
    EXPECT_EQ(Save(SmallHistory(), dir / "dangling.csv"), kSaved);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.csv"));
    EXPECT_NE(FileContent(dir / "new.csv"), "");

    fs::create_symlink("b.csv", dir / "a.csv");
    fs::create_symlink("a.csv", dir / "b.csv");
    EXPECT_EQ(Save(SmallHistory(), dir / "a.csv"), NotSaved(Failure::Kind::NotAFile));
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"a.csv", "b.csv", "dangling.csv", "new.csv"}));
}

TEST(AtomicSave, FolderThatDoesNotExist) {
    TempDir dir;
    for (const std::string& extension : kExtensions)
        EXPECT_EQ(Save(SmallHistory(), dir / ("missing/h" + extension)), NotSaved(ENOENT))
            << extension;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

TEST(AtomicSave, TargetThatIsADirectoryIsLeftAlone) {
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::filesystem::create_directory(dir / ("h" + extension));
        EXPECT_EQ(Save(SmallHistory(), dir / ("h" + extension)), NotSaved(EISDIR));
        EXPECT_TRUE(std::filesystem::is_directory(dir / ("h" + extension)));
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h" + extension});
    }
}

TEST(AtomicSave, ReadOnlyFolderKeepsTheOldFile) {
    namespace fs = std::filesystem;
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::string target = dir / ("h" + extension);
        std::ofstream(target) << kOldContent;
        fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
        std::string outcome = SaveAsAnOrdinaryUser(SmallHistory(), target);
        fs::permissions(dir.Path(), fs::perms::owner_all);
        if (outcome == kCannotDropRoot)
            GTEST_SKIP() << "root cannot become another user here";
        EXPECT_EQ(outcome, NotSaved(EACCES)) << extension;
        EXPECT_TRUE(FileContent(target) == kOldContent) << "the old file was replaced";
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h" + extension});
    }
}

TEST(AtomicSave, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::string target = dir / ("h" + extension);
        std::ofstream(target) << kOldContent;
        EXPECT_EQ(SaveOnAFullDisk(SmallHistory(), target, 64), NotSaved(EFBIG)) << extension;
        EXPECT_EQ(FileContent(target), kOldContent);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h" + extension});
    }
}

}  // namespace
