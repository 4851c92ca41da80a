// Failures that pass: which errors are worth waiting out, how the tries are paced, writers that
// meet the same instruments in opposite orders, a busy file and a server restarted mid-upload.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "archive/archive_retry.h"
#include "archive/archive_sheet_file.h"
#include "archive/upload_archive.h"
#include "cli/archive_waiting.h"
#include "history_rows.h"
#include "protocol/field_format.h"
#include "test_archives.h"

using namespace qm4250;
using namespace std::chrono_literals;

namespace {

// SQLite: busy (also while recovering) and locked pass, a full disk or a file that is no database
// do not. PostgreSQL: a lost connection, the administrator's shutdown, a server starting up, a
// deadlock, a serialization failure, a lock timeout and too many clients pass; a full disk, a
// permission denied and a missing table do not.
TEST(PassingFailures, TheEnginesCodesSayWhichFailuresMayPass) {
    using Codes = std::vector<const char*>;
    for (bool sqlite : {true, false}) {
        Codes passing = sqlite ? Codes{"5", "261", "6"} : Codes{"08006", "57P01", "57P03", "40P01",
                                                                "40001", "55P03", "53300"};
        Codes lasting = sqlite ? Codes{"13", "26", ""} : Codes{"53100", "42501", "42P01", "5", ""};
        for (const Codes* codes : {&passing, &lasting}) {
            for (const char* code : *codes)
                EXPECT_EQ(MayPass(QSqlError("", "why", QSqlError::StatementError, code), sqlite),
                          codes == &passing)
                    << (sqlite ? "SQLite " : "PostgreSQL ") << code;
        }
    }
}

// Each try takes a second; the pauses between them double from a quarter of a second to 8 s, and
// the last is cut to what is left of the minute.
TEST(PassingFailures, TriesArePacedUntilThePatienceIsSpent) {
    struct Case {
        int failures;  // before the write goes through
        bool passing;
        int tries;
        std::vector<long> pausesMs;
    };
    for (const Case& c : std::vector<Case>{
             {0, true, 1, {}},
             {3, true, 4, {250, 500, 1000}},
             {1, false, 1, {}},
             {99, true, 12, {250, 500, 1000, 2000, 4000, 8000, 8000, 8000, 8000, 8000, 1250}},
         }) {
        std::chrono::steady_clock::time_point now{};
        std::vector<long> pauses;
        std::vector<std::string> heard;
        ArchiveRetry retry(
            60s, [&](const ArchiveError& why) { heard.push_back(why.detail.toStdString()); },
            [&] { return now; },
            [&](std::chrono::milliseconds pause) {
                pauses.push_back(static_cast<long>(pause.count()));
                now += pause;
            });
        int tries = 0;
        for (;;) {
            now += 1s;
            if (++tries > c.failures)
                break;
            ArchiveError failure{ArchiveError::Kind::Failed, "archive",
                                 "try " + QString::number(tries)};
            failure.passing = c.passing;
            if (!retry.again(failure))
                break;
        }
        EXPECT_EQ(tries, c.tries) << c.failures;
        EXPECT_EQ(pauses, c.pausesMs) << c.failures;
        EXPECT_EQ(heard.size(), pauses.size());
        if (!heard.empty()) {
            EXPECT_EQ(heard.back(), "try " + std::to_string(heard.size()));
        }
    }
}

TEST(PassingFailures, TheCommandLineSaysOnceThatItWaits) {
    std::FILE* out = std::tmpfile();
    ArchiveWaiting waiting = WaitingLine(out, "qm4250-upload: ", 60'000);
    for (const char* why : {"the database system is starting up", "Connection refused"})
        waiting(ArchiveError{ArchiveError::Kind::Failed, "archive", why});
    std::rewind(out);
    char text[256] = {};
    std::string said(text, std::fread(text, 1, sizeof text - 1, out));
    std::fclose(out);
    EXPECT_EQ(said,
              "qm4250-upload: waiting for the archive (up to 60 s): the database system is "
              "starting up\n");
}

History Tests(const std::string& serial, int count) {
    std::vector<std::string> frames{"1" + serial};
    for (int k = 1; k <= count; ++k)
        frames.push_back("1" + std::to_string(k) + ",P,C,0.003,N," + std::to_string(60 * k) + ",4");
    return HistoryOf(frames);
}

class PassingFailuresTest : public testing::TestWithParam<Engine> {
  protected:
    void SetUp() override { MakeEmptyArchive(GetParam(), folder_, location_); }

    qint64 count(const QString& sql) {
        ArchiveConnection connection(location_, ArchiveConnection::Access::Read);
        QSqlQuery query(connection.db());
        return query.exec(sql) && query.next() ? query.value(0).toLongLong() : -1;
    }

    QTemporaryDir folder_;
    ArchiveLocation location_;
};

// Files that hold the same two new instruments, A then B or B then A, imported all at once: each
// goes in whole, each test once, at the first try: no writer waits on another in a cycle.
TEST_P(PassingFailuresTest, ImportsOfOneInstrumentsInOppositeOrdersAllGoIn) {
    constexpr int kTests = 3000;
    location_.retryForMs = 0;
    auto write = [&](const std::string& name, std::vector<std::string> serials) {
        std::string path = (folder_.path() + "/").toStdString() + name;
        std::ofstream file(path);
        file << "SEQ#,PN,Cust Code,Leak,Error,Time/Date,GPRelay,BPRelay,GERelay\n";
        for (const std::string& serial : serials) {
            file << "SN = " << serial << ",Model: Norvik,,,,,,,\n";
            for (int k = 1; k <= kTests; ++k)
                file << k << ",P,C,0.003,," << TimeDateOf(60 * k).view() << ",On,Off,Off\n";
        }
        return path;
    };
    std::string ab = write("ab.csv", {"A", "B"}), ba = write("ba.csv", {"B", "A"});
    constexpr int kImports = 6;
    std::vector<SheetArchiveResult> results(kImports);
    std::vector<std::thread> imports;
    for (int k = 0; k < kImports; ++k)
        imports.emplace_back([&, k] {
            results[k] =
                ArchiveSheetFile(k % 2 ? ba : ab, location_, QDateTime::currentDateTimeUtc());
        });
    for (std::thread& import : imports)
        import.join();
    int newTests = 0;
    for (const SheetArchiveResult& result : results) {
        EXPECT_EQ(result.outcome, SheetArchiveResult::Outcome::Imported)
            << (result.archiveError ? ArchiveErrorText(*result.archiveError).toStdString() : "");
        newTests += result.newTests;
    }
    EXPECT_EQ(newTests, 2 * kTests);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tests"), 2 * kTests);
    EXPECT_EQ(count("SELECT COUNT(*) FROM uploads"), 2 * kImports);
    EXPECT_EQ(count("SELECT COUNT(*) FROM instruments"), 2);
}

// The archive is taken away while an upload is written: another program holds SQLite's write lock
// past its 5 s timeout, or the plant's server is shut down for an update. The upload waits, and
// goes in once the archive is back.
TEST_P(PassingFailuresTest, AnArchiveAwayForAWhileIsWaitedOut) {
    std::unique_ptr<ArchiveConnection> holder;
    QString cluster = QFileInfo(qEnvironmentVariable("QM4250_TEST_POSTGRES_URL_FILE")).path();
    auto script = [&](const char* action) {
        std::string command = std::string("bash " QM4250_POSTGRES_CLUSTER_SCRIPT " ") + action +
                              " " + cluster.toStdString();
        return std::system(command.c_str()) == 0;
    };
    if (GetParam() == Engine::Sqlite) {
        ArchiveResult first =
            StoreUpload(location_, {Tests("4250117", 1), "d", 2, QDateTime::currentDateTimeUtc()});
        ASSERT_TRUE(first.written()) << ArchiveErrorText(*first.error).toStdString();
        holder = std::make_unique<ArchiveConnection>(location_, ArchiveConnection::Access::Write);
        ASSERT_TRUE(QSqlQuery(holder->db()).exec("BEGIN IMMEDIATE"));
    } else {
        ASSERT_TRUE(script("halt"));
    }
    std::atomic<int> heard = 0;
    std::atomic<bool> done = false;
    std::string firstReason;
    ArchiveResult result;
    History history = Tests("4250117", 500);
    std::thread upload([&] {
        result = StoreUpload(location_, {history, "d", 501, QDateTime::currentDateTimeUtc()},
                             [&](const ArchiveError& why) {
                                 if (heard++ == 0)
                                     firstReason = why.detail.toStdString();
                             });
        done = true;
    });
    while (heard == 0 && !done)
        std::this_thread::sleep_for(20ms);
    if (GetParam() == Engine::Sqlite)
        QSqlQuery(holder->db()).exec("ROLLBACK");
    else
        EXPECT_TRUE(script("resume"));
    upload.join();
    ASSERT_TRUE(result.written()) << ArchiveErrorText(*result.error).toStdString();
    EXPECT_EQ(result.newTests, GetParam() == Engine::Sqlite ? 499 : 500);
    EXPECT_FALSE(firstReason.empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, PassingFailuresTest,
                         testing::Values(Engine::Sqlite, Engine::Postgres), EngineName);

}  // namespace
