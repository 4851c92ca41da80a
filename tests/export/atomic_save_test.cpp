#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/save_history_workbook.h"
#include "temp_dir.h"

namespace {

const std::string kSaved = "History data was successfully saved";
const std::string kNotSaved = "History data was not saved";
const std::string kOldContent = "the previous history, which must survive";

WindowState SmallHistory() {
    WindowState state;
    state.Records = {"SN = 1;Model: Norvik", "1;PN;CC;0.1;E;T;4", ""};
    state.RecordIndex = 1;
    return state;
}

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

const std::vector<std::string> kExtensions{".xls", ".xlsx", ".csv"};

TEST(AtomicSave, ReplacesAnExistingFileWithTheNewHistory) {
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::string target = dir / ("h" + extension);
        std::ofstream(target) << kOldContent;
        EXPECT_EQ(SaveHistoryWorkbook(SmallHistory(), target), kSaved) << extension;
        EXPECT_NE(Content(target), kOldContent);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h" + extension});
    }
}

TEST(AtomicSave, FolderThatDoesNotExist) {
    TempDir dir;
    for (const std::string& extension : kExtensions)
        EXPECT_EQ(SaveHistoryWorkbook(SmallHistory(), dir / ("missing/h" + extension)), kNotSaved)
            << extension;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

TEST(AtomicSave, TargetThatIsADirectoryIsLeftAlone) {
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::filesystem::create_directory(dir / ("h" + extension));
        EXPECT_EQ(SaveHistoryWorkbook(SmallHistory(), dir / ("h" + extension)), kNotSaved);
        EXPECT_TRUE(std::filesystem::is_directory(dir / ("h" + extension)));
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h" + extension});
    }
}

// A write that fails part-way (as on a full disk): the file size limit stops every writer, root
// included. It runs in a child process so the limit does not outlive the save.
std::string SaveWithFileSizeLimit(const std::string& target, rlim_t limit) {
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe";
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        std::string outcome = SaveHistoryWorkbook(SmallHistory(), target);
        (void)!write(fds[1], outcome.data(), outcome.size());
        _exit(0);
    }
    close(fds[1]);
    std::string outcome;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        outcome.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return outcome;
}

TEST(AtomicSave, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    for (const std::string& extension : kExtensions) {
        TempDir dir;
        std::string target = dir / ("h" + extension);
        std::ofstream(target) << kOldContent;
        EXPECT_EQ(SaveWithFileSizeLimit(target, 64), kNotSaved) << extension;
        EXPECT_EQ(Content(target), kOldContent);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h" + extension});
    }
}

TEST(AtomicSave, UnsaveableHistoryKeepsTheOldFile) {
    TempDir dir;
    std::string target = dir / "h.xls";
    std::ofstream(target) << kOldContent;
    WindowState neverRequested;
    EXPECT_EQ(SaveHistoryWorkbook(neverRequested, target), kNotSaved);
    WindowState badRelay = SmallHistory();
    badRelay.Records[1] = "1;PN;CC;0.1;E;T;70000";
    EXPECT_EQ(SaveHistoryWorkbook(badRelay, target), kNotSaved);
    EXPECT_EQ(Content(target), kOldContent);
    EXPECT_EQ(SaveHistoryWorkbook(neverRequested, dir / "new.csv"), kNotSaved);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"h.xls"});
}

}  // namespace
