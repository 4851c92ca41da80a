// The archive on both engines: SQLite in a scratch folder, PostgreSQL in the throwaway cluster
// that the CTest fixture starts (its URL in the file QM4250_TEST_POSTGRES_URL_FILE names).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <csignal>
#include <thread>

#include "archive/archive_connection.h"
#include "archive/schema.h"
#include "archive/test_selection.h"
#include "archive/upload_archive.h"
#include "child_process.h"
#include "history_rows.h"
#include "test_archives.h"

using namespace qm4250;

namespace {

History Uploaded(int first, int last, std::vector<std::string> unreadable = {}) {
    std::vector<std::string> frames{"1S4250117"};
    for (int k = first; k <= last; ++k)
        frames.push_back("1" + std::to_string(k) + ",P;" + std::to_string(k % 3) + ",C" +
                         std::to_string(k) + ",0.00" + std::to_string(k % 9) + ",N," +
                         std::to_string(1000 * k) + "," + (k % 10 ? "28" : "1"));
    History history = HistoryOf(frames);
    history.unreadable = std::move(unreadable);
    return history;
}

ArchiveResult Store(const ArchiveLocation& location, const History& history) {
    return StoreUpload(location,
                       {history, "/dev/ttyUSB0", static_cast<int32_t>(1 + history.records.size()),
                        QDateTime::currentDateTimeUtc()});
}

class ArchiveBase : public testing::Test {
  protected:
    void open(Engine engine) {
        engine_ = engine;
        MakeEmptyArchive(engine, folder_, location_);
    }

    // One number from the archive, or -1 when the query fails.
    qint64 count(const QString& sql) {
        ArchiveConnection connection(location_, ArchiveConnection::Access::Write);
        QSqlQuery query(connection.db());
        return query.exec(sql) && query.next() ? query.value(0).toLongLong() : -1;
    }
    std::vector<qint64> counts() {
        return {count("SELECT COUNT(*) FROM instruments"), count("SELECT COUNT(*) FROM uploads"),
                count("SELECT COUNT(*) FROM tests"),
                count("SELECT COUNT(*) FROM unreadable_frames")};
    }

    Engine engine_ = Engine::Sqlite;
    QTemporaryDir folder_;
    ArchiveLocation location_;
};

class ArchiveTest : public ArchiveBase, public testing::WithParamInterface<Engine> {
  protected:
    void SetUp() override { open(GetParam()); }
};

class SqliteArchive : public ArchiveBase {
  protected:
    void SetUp() override { open(Engine::Sqlite); }
};

TEST_P(ArchiveTest, AnEmptyArchiveGetsItsSchemaAndTheUpload) {
    ArchiveResult result = Store(location_, Uploaded(1, 120, {"1broken", std::string("1\0x", 3)}));
    ASSERT_TRUE(result.written()) << Why(result);
    EXPECT_EQ(result.newTests, 120);
    EXPECT_EQ(count("SELECT MAX(version) FROM schema_version"), LatestSchemaVersion());
    EXPECT_EQ(counts(), (std::vector<qint64>{1, 1, 120, 2}));
    EXPECT_EQ(count("SELECT new_tests FROM uploads"), 120);
    EXPECT_EQ(count("SELECT COUNT(*) FROM unreadable_frames WHERE body = 'x'"), 0);
}

TEST_P(ArchiveTest, EveryFieldIsKeptAsReceived) {
    ASSERT_TRUE(Store(location_, Uploaded(7, 7)).written());
    ArchiveConnection connection(location_, ArchiveConnection::Access::Write);
    QSqlQuery query(connection.db());
    ASSERT_TRUE(query.exec("SELECT seq, pn, cust_code, leak_text, leak, error_code, time_seconds,"
                           " tested_at, relay_field, power_up, relay_gp, relay_bp, relay_ge,"
                           " i.serial, i.model FROM tests JOIN instruments i"
                           " ON i.id = tests.instrument_id") &&
                query.next());
    QStringList row;
    for (int column = 0; column < 15; ++column)
        row << query.value(column).toString();
    EXPECT_EQ(row,
              (QStringList{"7", "P;1", "C7", "0.007", "0.007", "N", "7000", "2004-01-01 01:56:40",
                           "28", "0", "1", "1", "1", "4250117", "Norvik"}));
}

TEST_P(ArchiveTest, TimeStampsBecomeSortableDatesOnTheInstrumentsClock) {
    History history =
        HistoryOf({"1S1", "10,P,C,0,N,-2147483648,0", "11,P,C,0,N,-1,0", "12,P,C,0,N,0,0",
                   "13,P,C,0,N,5097600,0", "14,P,C,0,N,31622399,0", "15,P,C,0,N,2147483647,0"});
    ASSERT_TRUE(Store(location_, history).written());
    ArchiveConnection connection(location_, ArchiveConnection::Access::Write);
    QSqlQuery query(connection.db());
    ASSERT_TRUE(query.exec("SELECT tested_at FROM tests ORDER BY time_seconds"));
    QStringList dates;
    while (query.next())
        dates << query.value(0).toString();
    EXPECT_EQ(dates,
              (QStringList{"1935-12-13 20:45:52", "2003-12-31 23:59:59", "2004-01-01 00:00:00",
                           "2004-02-29 00:00:00", "2004-12-31 23:59:59", "2072-01-19 03:14:07"}));
}

TEST_P(ArchiveTest, TheSameMemoryUploadedAgainAddsNothing) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 300)).written());
    ArchiveResult again = Store(location_, Uploaded(1, 300));
    ASSERT_TRUE(again.written()) << Why(again);
    EXPECT_EQ(again.newTests, 0);
    ArchiveResult more = Store(location_, Uploaded(250, 330));
    EXPECT_EQ(more.newTests, 30);
    EXPECT_EQ(counts(), (std::vector<qint64>{1, 3, 330, 0}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tests WHERE first_upload_id = 3"), 30);
}

TEST_P(ArchiveTest, AByteZeroIsKeptAsItsSymbol) {
    History history = Uploaded(1, 1);
    history.records.push_back(MakeRecord("2", std::string("P\0X", 3), "C", "1", "N", "T", 0));
    ASSERT_TRUE(Store(location_, history).written());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tests WHERE pn = 'P\u2400X'"), 1)
        << "stored as P, U+2400, X";
}

// Another writer holds SQLite's write lock past the 5 s busy timeout; the PostgreSQL server drops
// the connection half-way through the tests. Either way nothing of the upload stays.
TEST_P(ArchiveTest, AFailedWriteLeavesTheArchiveAsItWas) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 50)).written());
    std::vector<qint64> before = counts();
    ArchiveConnection other(location_, ArchiveConnection::Access::Write);
    QSqlQuery hold(other.db());
    if (GetParam() == Engine::Sqlite) {
        ASSERT_TRUE(hold.exec("BEGIN IMMEDIATE"));
    } else {
        ASSERT_TRUE(
            hold.exec("CREATE FUNCTION drop_connection() RETURNS trigger AS $$ BEGIN"
                      " IF NEW.seq = '400' THEN PERFORM pg_terminate_backend(pg_backend_pid());"
                      " END IF; RETURN NEW; END $$ LANGUAGE plpgsql"));
        ASSERT_TRUE(
            hold.exec("CREATE TRIGGER drop_connection BEFORE INSERT ON tests"
                      " FOR EACH ROW EXECUTE FUNCTION drop_connection()"));
    }
    ArchiveResult result = Store(location_, Uploaded(51, 450));
    EXPECT_FALSE(result.written());
    EXPECT_FALSE(Why(result).empty());
    if (GetParam() == Engine::Sqlite)
        hold.exec("ROLLBACK");
    else
        hold.exec("DROP TRIGGER drop_connection ON tests");
    EXPECT_EQ(counts(), before);
}

// The server's disk is the server's; on PostgreSQL its failure reaches us as a failed statement,
// as the dropped connection above does.
TEST_F(SqliteArchive, ADiskThatFillsUpLeavesTheArchiveAsItWas) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 50)).written());
    std::vector<qint64> before = counts();
    std::string outcome = InAChildProcess([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        ArchiveResult result = Store(location_, Uploaded(51, 3000));
        return result.written() ? std::string("written") : Why(result);
    });
    EXPECT_NE(outcome, "written");
    EXPECT_FALSE(outcome.empty());
    EXPECT_EQ(counts(), before);
}

TEST_P(ArchiveTest, AnUnreachableServerIsReported) {
    ArchiveLocation nowhere = location_;
    if (GetParam() == Engine::Sqlite)
        nowhere.path = "/proc/qm4250/archive.sqlite";
    else
        nowhere.host = folder_.path();  // no server listens there
    ArchiveResult result = Store(nowhere, Uploaded(1, 5));
    EXPECT_FALSE(result.written());
    EXPECT_FALSE(Why(result).empty());
}

// Two uploaders archiving overlapping memories of one instrument at once.
TEST_P(ArchiveTest, ConcurrentWritersAddEachTestOnce) {
    ArchiveResult first, second;
    std::thread a([&] { first = Store(location_, Uploaded(1, 2000)); });
    std::thread b([&] { second = Store(location_, Uploaded(1001, 3000)); });
    a.join();
    b.join();
    ASSERT_TRUE(first.written()) << Why(first);
    ASSERT_TRUE(second.written()) << Why(second);
    EXPECT_EQ(first.newTests + second.newTests, 3000);
    EXPECT_EQ(counts(), (std::vector<qint64>{1, 2, 3000, 0}));
}

TEST_F(SqliteArchive, ANewArchiveIsPrivateToItsUser) {
    location_.path = folder_.path() + "/made/here/archive.sqlite";
    mode_t before = umask(022);
    ArchiveResult result = Store(location_, Uploaded(1, 5));
    umask(before);
    ASSERT_TRUE(result.written()) << Why(result);
    auto mode = [](const QString& path) {
        struct stat status {};
        stat(path.toLocal8Bit().constData(), &status);
        return status.st_mode & 07777;
    };
    EXPECT_EQ(mode(location_.path), 0600u);
    EXPECT_EQ(mode(folder_.path() + "/made/here"), 0700u);
    EXPECT_EQ(mode(folder_.path() + "/made"), 0700u);
}

// Another program's database, or an archive a newer version made, is never written; this
// program's own archives of any version can be read.
TEST_F(SqliteArchive, ArchivesNotOursOrNewerAreLeftUntouched) {
    struct Case {
        const char* name;
        std::vector<const char*> setUp;  // on an archive holding 50 tests, or a new file
        bool ours;
        std::string written;
        std::string read;
    };
    const std::string where = location_.path.toStdString();
    for (const Case& c : std::vector<Case>{
             {"newer",
              {"INSERT INTO schema_version VALUES (7)"},
              true,
              "it was made by a newer version (schema 7; this program knows 1)",
              "50 tests"},
             {"another program's",
              {"CREATE TABLE tests (x)"},
              false,
              "not a QM4250 archive: " + where,
              "not a QM4250 archive: " + where},
             {"ours in part",
              {"CREATE TABLE schema_version (version INTEGER)", "CREATE TABLE tests (x)"},
              false,
              "not a QM4250 archive: " + where,
              "not a QM4250 archive: " + where},
         }) {
        QFile::remove(location_.path);
        if (c.ours) {
            ASSERT_TRUE(Store(location_, Uploaded(1, 50)).written());
        }
        ArchiveConnection setUp(location_, ArchiveConnection::Access::Write);
        for (const char* statement : c.setUp)
            ASSERT_TRUE(QSqlQuery(setUp.db()).exec(statement)) << statement;
        qint64 tables = count("SELECT COUNT(*) FROM sqlite_master");
        EXPECT_EQ(Why(Store(location_, Uploaded(51, 60))), c.written) << c.name;
        EXPECT_EQ(count("SELECT COUNT(*) FROM sqlite_master"), tables) << c.name;
        std::variant<std::vector<History>, ArchiveError> read = SelectTests(location_, {});
        auto* error = std::get_if<ArchiveError>(&read);
        EXPECT_EQ(error
                      ? ArchiveErrorText(*error).toStdString()
                      : std::to_string(TestCount(std::get<std::vector<History>>(read))) + " tests",
                  c.read)
            << c.name;
    }
}

TEST_F(SqliteArchive, ADamagedArchiveIsNeverExportedInPart) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 3000)).written());
    QFile file(location_.path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    qint64 size = file.size();
    file.seek(size / 3);
    file.write(QByteArray(static_cast<qsizetype>(size / 3), '\x5A'));
    file.close();
    std::variant<std::vector<History>, ArchiveError> read = SelectTests(location_, {});
    ASSERT_TRUE(std::holds_alternative<ArchiveError>(read));
    EXPECT_EQ(ArchiveErrorText(std::get<ArchiveError>(read)).toStdString(),
              location_.path.toStdString() + ": database disk image is malformed");
}

// Read-only for the user: the file, its folder, or both; nothing is made beside the file.
TEST_F(SqliteArchive, AReadOnlyArchiveCanStillBeRead) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 50)).written());
    QByteArray folder = QFile::encodeName(folder_.path());
    QByteArray file = QFile::encodeName(location_.path);
    for (auto [folderMode, fileMode] : {std::pair{0555, 0444}, {0777, 0444}, {0555, 0666}}) {
        chmod(folder.constData(), folderMode);
        chmod(file.constData(), fileMode);
        std::string outcome = InAChildProcess([&] {
            if (!BecomeAnOrdinaryUser())
                return kCannotDropRoot;
            std::variant<std::vector<History>, ArchiveError> read = SelectTests(location_, {});
            auto* error = std::get_if<ArchiveError>(&read);
            return error
                       ? ArchiveErrorText(*error).toStdString()
                       : std::to_string(TestCount(std::get<std::vector<History>>(read))) + " tests";
        });
        if (outcome == kCannotDropRoot)
            GTEST_SKIP() << "cannot play an ordinary user here";
        EXPECT_EQ(outcome, "50 tests") << std::oct << folderMode << " " << fileMode;
        EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{"archive.sqlite"});
    }
    chmod(folder.constData(), 0700);
    std::variant<std::vector<History>, ArchiveError> missing =
        SelectTests(SqliteAt(folder_.path() + "/none.sqlite"), {});
    ASSERT_TRUE(std::holds_alternative<ArchiveError>(missing));
    EXPECT_EQ(std::get<ArchiveError>(missing).kind, ArchiveError::Kind::Missing);
    EXPECT_FALSE(QFile::exists(folder_.path() + "/none.sqlite"));
}

class PostgresArchive : public ArchiveBase {
  protected:
    void SetUp() override { open(Engine::Postgres); }
};

// Another session's lock, or a statement the server takes too long over, ends the write with
// the server's reason; nothing waits for ever.
TEST_F(PostgresArchive, NothingWaitsForEverBehindALockOrASlowServer) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 5)).written());
    ArchiveConnection other(location_, ArchiveConnection::Access::Write);
    QSqlQuery hold(other.db());
    ASSERT_TRUE(hold.exec("BEGIN") && hold.exec("LOCK TABLE tests IN ACCESS EXCLUSIVE MODE"));
    ArchiveLocation impatient = location_;
    impatient.lockTimeoutMs = 200;
    EXPECT_EQ(Why(Store(impatient, Uploaded(6, 10))),
              location_.display().toStdString() + ": canceling statement due to lock timeout");
    ASSERT_TRUE(hold.exec("ROLLBACK"));
    ASSERT_TRUE(
        hold.exec("CREATE FUNCTION slow() RETURNS trigger AS $$ BEGIN"
                  " PERFORM pg_sleep(30); RETURN NEW; END $$ LANGUAGE plpgsql"));
    ASSERT_TRUE(
        hold.exec("CREATE TRIGGER slow BEFORE INSERT ON tests FOR EACH ROW"
                  " EXECUTE FUNCTION slow()"));
    impatient.statementTimeoutMs = 200;
    EXPECT_EQ(Why(Store(impatient, Uploaded(6, 10))),
              location_.display().toStdString() + ": canceling statement due to statement timeout");
    EXPECT_EQ(count("SELECT COUNT(*) FROM tests"), 5);
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, testing::Values(Engine::Sqlite, Engine::Postgres),
                         EngineName);

}  // namespace
