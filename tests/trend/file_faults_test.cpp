// Every file the program writes, onto a full disk and onto a read-only one: the system's reason
// comes back, the file that was there stays as it was, and nothing is left beside it.
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <type_traits>

#include "export/restricted_save.h"
#include "history_rows.h"
#include "small_disk.h"
#include "test_archives.h"
#include "trend/selection_exports.h"
#include "trend/statistics_workbook.h"

using namespace qm4250;

namespace {

// The system's error number a write failed with; 0 when it was written, -1 for any other cause.
template <typename T, typename E>
int ErrorOf(const Result<T, E>& written) {
    auto number = [](const auto& cause) {
        if constexpr (std::is_same_v<std::decay_t<decltype(cause)>, Failure>)
            return cause.kind == Failure::Kind::System ? cause.errorNumber : -1;
        return -1;
    };
    if (written)
        return 0;
    if constexpr (std::is_same_v<E, Failure>)
        return number(written.error());
    else
        return std::visit(number, written.error());
}

History TwoTests() {
    return HistoryOf({"1S4711", "11,P,C,0.003,N,3600,4", "12,P,C,0.004,N,7200,4"});
}

struct FileWriter {
    const char* file;
    std::function<int(const std::string& path)> write;
};

const std::string kKept = "the file that was there before";

class FileFaults : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Why(StoreUpload(archive_, {TwoTests(), "", 3, QDateTime::currentDateTimeUtc()})),
                  "");
    }

    QTemporaryDir folder_;
    ArchiveLocation archive_ = SqliteAt(folder_.path() + "/archive.sqlite");
};

TEST_F(FileFaults, EachWriterSaysWhyAndLeavesTheOldFileAlone) {
    const ArchiveLocation& archive = archive_;
    QCustomPlot chart;
    chart.resize(320, 200);
    chart.addGraph()->setData({1, 2, 3}, {0.003, 0.004, 0.003});
    auto path = [](const std::string& file) { return QString::fromStdString(file); };
    const std::vector<FileWriter> writers{
        {"h.xls", [](const std::string& p) { return ErrorOf(SaveHistory(TwoTests(), p)); }},
        {"h.xlsx", [](const std::string& p) { return ErrorOf(SaveHistory(TwoTests(), p)); }},
        {"h.csv", [](const std::string& p) { return ErrorOf(SaveHistory(TwoTests(), p)); }},
        {"s.xlsx",
         [&](const std::string& p) { return ErrorOf(WriteStatisticsWorkbook(path(p), {}, {})); }},
        {"r.pdf",
         [&](const std::string& p) {
             return ErrorOf(WriteArchiveReport(archive, {}, {}, path(p)));
         }},
        {"c.png",
         [&](const std::string& p) { return ErrorOf(SelectionExports::chart(chart, path(p))); }},
        {"c.svg",
         [&](const std::string& p) { return ErrorOf(SelectionExports::chart(chart, path(p))); }},
    };
    for (auto [fault, error] : {std::pair{SmallDisk::Fault::Full, ENOSPC},
                                std::pair{SmallDisk::Fault::ReadOnly, EROFS}}) {
        for (const FileWriter& writer : writers) {
            SmallDisk disk(fault, writer.file, kKept);
            if (!disk.made())
                GTEST_SKIP() << "no file system of its own here: the saves' fakes cover this";
            EXPECT_EQ(writer.write(disk / writer.file), error) << writer.file;
            EXPECT_EQ(FileContent(disk / writer.file), kKept) << writer.file;
            EXPECT_EQ(disk.Entries(), std::vector<std::string>{writer.file}) << writer.file;
        }
    }
}

// The message names the system's reason, and the status says it failed.
TEST_F(FileFaults, TheCommandLineSaysWhyAReportWasNotWritten) {
    SmallDisk disk(SmallDisk::Fault::Full, "r.pdf", kKept);
    if (!disk.made())
        GTEST_SKIP() << "no file system of its own here";
    std::string command = QM4250_ARCHIVE_EXECUTABLE " report " + disk / "r.pdf" + " --archive " +
                          archive_.path.toStdString() + " 2>&1; echo status $?";
    std::string said;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    for (char line[256]; std::fgets(line, sizeof line, pipe);)
        said += line;
    pclose(pipe);
    EXPECT_EQ(said, "qm4250-archive: the report was not written: " +
                        std::string(std::strerror(ENOSPC)) + "\nstatus 1\n");
    EXPECT_EQ(FileContent(disk / "r.pdf"), kKept);
}

}  // namespace
