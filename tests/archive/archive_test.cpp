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
#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>
#include <limits>
#include <thread>

#include "archive/archive_connection.h"
#include "archive/change_author.h"
#include "archive/exclusions.h"
#include "archive/frozen_limits.h"
#include "archive/kept_text.h"
#include "archive/part_limits.h"
#include "archive/schema.h"
#include "archive/test_selection.h"
#include "archive/upload_archive.h"
#include "child_process.h"
#include "history_rows.h"
#include "protocol/field_format.h"
#include "test_archives.h"

using namespace qm4250;
using namespace std::string_literals;

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

// A test's texts, any byte in any: Seq#, PN, Cust Code, leak, error code and relay field.
using Texts = std::array<std::string, 6>;

// The tests' time stamps are this many seconds apart, from 0.
History HistoryWith(const std::vector<Texts>& tests, int32_t secondsApart = 1) {
    History history;
    history.identification = Identification{"4250117", "S", "Norvik"};
    for (const Texts& t : tests) {
        int32_t seconds = secondsApart * static_cast<int32_t>(history.records.size());
        history.records.emplace_back(TestRecord::Fields{t[0], t[1], t[2], t[3], t[4], seconds,
                                                        TimeDateOf(seconds).view(), t[5], 4});
    }
    return history;
}

// The bytes 1 to 255.
std::string EveryByte() {
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte)
        bytes += static_cast<char>(byte);
    return bytes;
}

// Texts that COPY's text format, SQL quoting or a C string could get wrong ("\xE2\x90\x80" is the
// NUL symbol's UTF-8, taken as three Latin-1 characters), and leaks that read as a number or not.
std::vector<std::string> AwkwardTexts() {
    std::vector<std::string> texts{"",     "\t",           "\n",
                                   "\r",   "\r\n",         "\\",
                                   "\\N",  "\\.",          "a\tb\nc\rd\\e\\",
                                   "'",    "\"",           "''\"\"\\'",
                                   "%_*?", "\x7F\x80\xFF", "\xE2\x90\x80",
                                   "\0"s,  "\0\\\0"s};
    std::vector<std::string> leaks{"0.007", "-0.000", "0012.500", "1.",  ".5",    " 7 ",
                                   "+1",    "1E-3",   "0x10",     "1,5", "1.2.3", "-",
                                   "inf",   "nan",    "\xA0\x35", "5\0"s};
    texts.insert(texts.end(), leaks.begin(), leaks.end());
    texts.insert(texts.end(), {EveryByte(), "\0"s + EveryByte(), std::string(400, '9'),
                               "123456789012345678901234567890", "1.7976931348623157e308",
                               "4.9e-324", "0.1000000000000000055511151231257827021181583404541"});
    return texts;
}

// The leak as Qt reads its text, in the C locale, where it is a finite number.
std::optional<double> LeakOf(const std::string& text) {
    bool ok = false;
    double number =
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional(number) : std::nullopt;
}

// The id of the row an INSERT … RETURNING id made, or -1.
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

    // The id of the test TestsOf gave this index.
    qint64 testId(int k) { return count(QString("SELECT id FROM tests WHERE seq = '%1'").arg(k)); }

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

class PostgresArchive : public ArchiveBase {
  protected:
    void SetUp() override { open(Engine::Postgres); }
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

// An archive made before the chart's indexes is brought up to date by the next write, its tests
// kept.
TEST_P(ArchiveTest, AFirstVersionArchiveIsMigratedKeepingItsTests) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 50)).written());
    {
        ArchiveConnection connection(location_, ArchiveConnection::Access::Write);
        QSqlQuery query(connection.db());
        for (const char* statement :
             {"DROP INDEX tests_by_pn", "CREATE INDEX tests_by_pn ON tests (pn, tested_at)",
              "DROP INDEX tests_by_time", "CREATE INDEX tests_by_time ON tests (tested_at)",
              "DROP TABLE part_limits", "DROP TABLE frozen_limits", "DROP TABLE exclusions",
              "DELETE FROM schema_version WHERE version > 1"})
            ASSERT_TRUE(query.exec(statement)) << statement;
    }
    ASSERT_TRUE(Store(location_, Uploaded(1, 60)).written());
    EXPECT_EQ(count("SELECT MAX(version) FROM schema_version"), LatestSchemaVersion());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tests"), 60);
}

// Every change of a PN's limits is kept; the one stored last stands, even when its author's clock
// says earlier.
TEST_P(ArchiveTest, PartLimitsKeepEveryChangeAndTheLatestStands) {
    PartLimits ana{"P-1", std::nullopt, 0.005, "ana", QDateTime({2026, 12, 1}, {8, 0}, Qt::UTC)};
    PartLimits ben{"P-1", 0.001, 0.004, "ben", QDateTime({2026, 11, 30}, {8, 0}, Qt::UTC)};
    ASSERT_TRUE(StorePartLimits(location_, ana));
    ASSERT_TRUE(StorePartLimits(location_, ben));
    ArchiveConnection reopened(location_, ArchiveConnection::Access::Read);
    auto standing = StandingPartLimits(reopened, {"P-1", "P-2"}).value();
    ASSERT_TRUE(standing.count("P-1"));
    const PartLimits* current = &standing["P-1"];
    EXPECT_EQ(current->changedBy, "ben");
    EXPECT_EQ(current->lower, 0.001);
    EXPECT_EQ(current->upper, 0.004);
    EXPECT_EQ(current->changedAt, ben.changedAt);
    auto history = PartLimitsHistory(reopened, "P-1").value();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].changedBy, "ana");
    EXPECT_FALSE(history[0].lower);
    EXPECT_FALSE(standing.count("P-2"));
}

// The value a read gave, or an empty one with the test failed by the read's error.
template <typename T>
T Got(Result<T, ArchiveError> read) {
    if (!read)
        ADD_FAILURE() << ArchiveErrorText(read.error()).toStdString();
    return read ? std::move(read.value()) : T{};
}

// One test of each PN, its Seq# its index.
History TestsOf(const std::vector<std::string>& pns) {
    std::vector<Texts> tests;
    for (size_t k = 0; k < pns.size(); ++k)
        tests.push_back({std::to_string(k), pns[k], "C", "0.001", "N", "28"});
    return HistoryWith(tests);
}

const ControlLimits kLimits{1, 1, 0, 2, 1, 3};
const QDateTime kMonday({2026, 11, 30}, {8, 0, 0, 250}, Qt::UTC);

// Limits to the last bit and every field of a change (frozen limits, exclusions and the texts of
// tolerance limits) come back on a connection of their own, texts as typed (a null as "", U+0000,
// which PostgreSQL's text cannot hold, as U+2400); a PN is matched exactly, wherever it is among
// PNs enough for three statements of 500.
TEST_P(ArchiveTest, ChangesSurviveReopening) {
    const std::array<ControlLimits, 3> limits{
        {{0.1 + 0.2, 1.0 / 3, 0.0031 - 3 * 0.00042, 4.9e-324, -1e-300, 2.0 / 3},
         {-2.2250738585072014e-308, 1.7976931348623157e308, -1.7976931348623157e308,
          123456789.12345679, 1e-7 / 3, 1},
         kLimits}};
    const QString awkward = "it's 100% \"µ ± σ\" \\N;--";
    const std::array<std::pair<QString, QString>, 3> texts{
        {{QString(), ""}, {QString("a") + QChar(0) + "b", "a\u2400b"}, {awkward, awkward}}};
    const std::array<size_t, 3> at{499, 500, 1199};  // either side of a statement's end, and last
    const qint64 tests = std::numeric_limits<qint64>::max();
    // Beside the cases': a test of the first PN left in, and a PN "%" and "_" match, not asked.
    ASSERT_TRUE(Store(location_, TestsOf({"P'%_\"0", "P'%_\"1", "P'%_\"2", "P'%_\"0", "P'ab\"0"}))
                    .written());
    ASSERT_TRUE(StoreFrozenLimits(location_, {"P'ab\"0", kLimits, "", 1, "", kMonday}));
    ASSERT_TRUE(StoreExclusion(location_, {testId(4), true, "", "", kMonday}));
    std::vector<QString> pns(1200, "none");
    for (size_t k = 0; k < 3; ++k) {
        pns[at[k]] = QString("P'%_\"%1").arg(k);
        const QString& t = texts[k].first;  // as typed; .second as read back
        ASSERT_TRUE(StoreFrozenLimits(location_, {pns[at[k]], limits[k], t, tests, t, kMonday}));
        ASSERT_TRUE(StoreExclusion(location_, {testId(k), true, t, t, kMonday}));
        ASSERT_TRUE(StorePartLimits(location_, {pns[at[k]], 0.0, 1.0, t, kMonday}));
    }
    ArchiveConnection reopened(location_, ArchiveConnection::Access::Read);
    EXPECT_TRUE(Got(StandingFrozenLimits(reopened, {})).empty());
    auto frozen = Got(StandingFrozenLimits(reopened, pns));
    auto excluded = Got(StandingExclusions(reopened, pns));
    auto tolerances = Got(StandingPartLimits(reopened, pns));
    EXPECT_EQ(frozen.size() + excluded.size() + tolerances.size(), 9u);
    for (size_t k = 0; k < 3; ++k) {
        const FrozenLimits& f = frozen[pns[at[k]]];
        const Exclusion& e = excluded[testId(k)];
        EXPECT_TRUE(f.limits && !std::memcmp(&*f.limits, &limits[k], sizeof(ControlLimits))) << k;
        const PartLimits& p = tolerances[pns[at[k]]];
        for (const QString& text : {f.baseline, f.changedBy, e.reason, e.changedBy, p.changedBy})
            EXPECT_TRUE(text == texts[k].second) << k << ": " << text.toStdString();
        EXPECT_TRUE(f.baselineTests == tests && f.changedAt == kMonday && e.changedAt == kMonday &&
                    p.changedAt == kMonday);
    }
}

// A change is made by the system's account of the effective user ("uid 54321" where it has no
// name), whatever USER claims; on PostgreSQL with the session user, where that is another name.
TEST_P(ArchiveTest, AChangeIsMadeByTheSystemsAccountNotTheEnvironment) {
    const QString account = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    const bool postgres = GetParam() == Engine::Postgres;
    ArchiveConnection admin(location_, ArchiveConnection::Access::Write);
    if (postgres)  // a session user of the account's own name, unless an earlier run made it
        QSqlQuery(admin.db()).exec("CREATE ROLE \"" + account + "\" LOGIN");
    const QString session = postgres ? " (postgres user " + location_.user + ")" : "";
    for (auto [uid, user, author] : std::vector<std::tuple<uid_t, QString, QString>>{
             {geteuid(), location_.user, ChangesMadeBy(location_)},
             {geteuid(), account, account},
             {54321, location_.user, "uid 54321" + session}}) {
        std::string made = InAChildProcess([&] {
            qputenv("USER", "mallory");
            if (uid != geteuid() && seteuid(uid) != 0)
                return kCannotDropRoot;
            ArchiveLocation as = location_;
            as.user = user;
            ArchiveConnection connection(as, ArchiveConnection::Access::Read);
            Result<QString, ArchiveError> by = ChangeAuthor(connection);
            return by ? by.value().toStdString() : "not read";
        });
        if (made != kCannotDropRoot) {
            EXPECT_EQ(made, author.toStdString()) << uid << " " << user.toStdString();
        }
    }
}

// The local time zone set for a while, as a zoneless time would be read in it.
class LocalZone {
  public:
    explicit LocalZone(const char* zone)
        : before_(qgetenv("TZ")), had_(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone() {
        had_ ? qputenv("TZ", before_) : qunsetenv("TZ");
        tzset();
    }

  private:
    QByteArray before_;
    bool had_;
};

// Change times are kept in one form, to the millisecond; those kept before in others read back
// as the same UTC times, one without a zone as UTC too, whatever the reader's zone.
TEST_P(ArchiveTest, ChangeTimesKeptInEarlierFormsReadBack) {
    LocalZone newYork("America/New_York");
    const QDateTime kWhole({2026, 12, 9}, {16, 20}, Qt::UTC);
    const std::pair<const char*, QDateTime> kept[] = {
        {"2026-12-09T16:20:00.250Z", kWhole.addMSecs(250)},  // frozen limits and exclusions
        {"2026-12-09T16:20:00Z", kWhole},                    // tolerance limits
        {"2026-12-09 16:20:00", kWhole},                     // as the uploads' times are kept
        {"2026-12-09T17:20:00+01:00", kWhole},
        {"", QDateTime()},
    };
    ASSERT_TRUE(StorePartLimits(location_, {"P", 0.0, 1.0, "qa", kept[0].second}));
    {
        ArchiveConnection writing(location_, ArchiveConnection::Access::Write);
        QSqlQuery query(writing.db());
        for (size_t k = 1; k < std::size(kept); ++k)
            ASSERT_TRUE(query.exec(QString("INSERT INTO part_limits (pn, changed_by, changed_at)"
                                           " VALUES ('P', 'qa', '%1')")
                                       .arg(kept[k].first)));
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM part_limits WHERE changed_at = '" +
                    QString(kept[0].first) + "'"),
              1)
        << "written in the first form";
    ArchiveConnection reading(location_, ArchiveConnection::Access::Read);
    std::vector<PartLimits> history = Got(PartLimitsHistory(reading, "P"));
    ASSERT_EQ(history.size(), std::size(kept));
    for (size_t k = 0; k < history.size(); ++k)
        EXPECT_EQ(history[k].changedAt, kept[k].second) << kept[k].first;
}

// Each change stands until the next, made later by another user even when that user's clock says
// earlier; a thaw or a take-back leaves none standing; every change is in the history as made.
// Refused, and nothing of them kept: an exclusion of a test the archive does not hold, and limits
// not all finite numbers (SQLite would keep a NaN as a thaw).
TEST_P(ArchiveTest, TheLaterChangeStandsEveryChangeIsKeptAndNoneRefused) {
    ASSERT_TRUE(Store(location_, TestsOf({"P"})).written());
    const qint64 test = testId(0);
    auto made = [](const QString& by, bool on, const QDateTime& at) {
        return (by + (on ? " on " : " off ") + at.toString(Qt::ISODateWithMs)).toStdString();
    };
    std::vector<std::string> changes;
    for (auto [by, on] :
         std::vector<std::pair<QString, bool>>{{"ana", true}, {"ben", false}, {"cy", true}}) {
        QDateTime at = kMonday.addDays(-static_cast<qint64>(changes.size()));
        ASSERT_TRUE(StoreFrozenLimits(
            location_, {"P", on ? std::optional(kLimits) : std::nullopt, "all", 4, by, at}));
        ASSERT_TRUE(StoreExclusion(location_, {test, on, by, by, at}));
        changes.push_back(made(by, on, at));
        ArchiveConnection reopened(location_, ArchiveConnection::Access::Read);
        auto frozen = Got(StandingFrozenLimits(reopened, {"P"}));
        auto excluded = Got(StandingExclusions(reopened, {"P"}));
        std::string standing = on ? by.toStdString() : "none";
        EXPECT_EQ(frozen.count("P") ? frozen["P"].changedBy.toStdString() : "none", standing);
        EXPECT_EQ(excluded.count(test) ? excluded[test].reason.toStdString() : "none", standing);
        std::vector<std::string> frozenHistory, exclusionHistory;
        for (const FrozenLimits& f : Got(FrozenLimitsHistory(reopened, "P")))
            frozenHistory.push_back(made(f.changedBy, f.limits.has_value(), f.changedAt));
        for (const Exclusion& e : Got(ExclusionHistory(reopened, test)))
            exclusionHistory.push_back(made(e.changedBy, e.excluded, e.changedAt));
        EXPECT_EQ(frozenHistory, changes);
        EXPECT_EQ(exclusionHistory, changes);
    }
    for (qint64 id : {test + 1, std::numeric_limits<qint64>::max()}) {
        auto refused = StoreExclusion(location_, {id, true, "", "eve", kMonday});
        EXPECT_TRUE(!refused &&
                    ArchiveErrorText(refused.error()).endsWith(" " + QString::number(id)))
            << id;
    }
    for (ControlLimits limits :
         {ControlLimits{NAN, 1, 0, 2, 1, 3}, ControlLimits{1, 1, 0, INFINITY, 1, 3},
          ControlLimits{1, -INFINITY, 0, 2, 1, 3}})
        EXPECT_FALSE(StoreFrozenLimits(location_, {"P", limits, "", 2, "eve", kMonday}));
    EXPECT_EQ(
        count("SELECT COUNT(*) FROM exclusions") + count("SELECT COUNT(*) FROM frozen_limits"), 6);
}

// An archive made before frozen limits and exclusions were kept reads as having none; either
// change brings it up to date.
TEST_P(ArchiveTest, AnArchiveOfTheThirdSchemaHasNoneUntilTheNextChange) {
    ASSERT_TRUE(Store(location_, TestsOf({"P"})).written());
    for (bool freeze : {true, false}) {
        {
            ArchiveConnection connection(location_, ArchiveConnection::Access::Write);
            QSqlQuery query(connection.db());
            for (const char* statement : {"DROP TABLE exclusions", "DROP TABLE frozen_limits",
                                          "ALTER TABLE part_limits DROP COLUMN unit",
                                          "DELETE FROM schema_version WHERE version > 3"})
                ASSERT_TRUE(query.exec(statement)) << statement;
            ArchiveConnection reading(location_, ArchiveConnection::Access::Read);
            EXPECT_TRUE(Got(StandingFrozenLimits(reading, {"P"})).empty());
            EXPECT_TRUE(Got(FrozenLimitsHistory(reading, "P")).empty());
            EXPECT_TRUE(Got(StandingExclusions(reading, {"P"})).empty());
            EXPECT_TRUE(Got(ExclusionHistory(reading, testId(0))).empty());
        }
        EXPECT_TRUE(freeze ? StoreFrozenLimits(location_, {"P", kLimits, "", 2, "ana", kMonday})
                           : StoreExclusion(location_, {testId(0), true, "", "ana", kMonday}));
        EXPECT_EQ(count("SELECT MAX(version) FROM schema_version"), LatestSchemaVersion());
    }
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

// Every text reads back as the characters the archive has always stored for its bytes, and the
// leak as the number Qt reads in its text, to the last bit.
TEST_P(ArchiveTest, EveryByteOfEveryTextIsStoredExactly) {
    std::vector<std::string> awkward = AwkwardTexts();
    std::vector<Texts> tests(600);  // more than one statement takes
    for (size_t k = 0; k < tests.size(); ++k) {
        for (size_t field = 0; field < 6; ++field)
            tests[k][field] = awkward[(k + 7 * field) % awkward.size()];
    }
    std::string mebibyte;
    for (int k = 0; k < (1 << 20); ++k)
        mebibyte += static_cast<char>(k * 7 % 256);
    // Indexed texts stay within what a PostgreSQL index entry may hold.
    std::string indexable = EveryByte() + "\0\\\t"s + EveryByte();
    tests.push_back({indexable, indexable, indexable, mebibyte, mebibyte, mebibyte + mebibyte});
    ArchiveResult result = Store(location_, HistoryWith(tests));
    ASSERT_TRUE(result.written()) << Why(result);
    EXPECT_EQ(result.newTests, static_cast<int>(tests.size()));
    ArchiveConnection connection(location_, ArchiveConnection::Access::Read);
    QSqlQuery query(connection.db());
    ASSERT_TRUE(
        query.exec("SELECT seq, pn, cust_code, leak_text, error_code, relay_field, leak"
                   " FROM tests ORDER BY time_seconds"));
    for (size_t k = 0; k < tests.size(); ++k) {
        ASSERT_TRUE(query.next()) << "test " << k;
        for (int field = 0; field < 6; ++field)
            EXPECT_TRUE(query.value(field).toString() == KeptTextOfBytes(tests[k][field]))
                << "test " << k << ", field " << field;
        std::optional<double> leak = LeakOf(tests[k][3]);
        EXPECT_EQ(query.value(6).isNull() ? std::nullopt : std::optional(query.value(6).toDouble()),
                  leak)
            << "test " << k << ", leak " << tests[k][3];
    }
}

// An import puts each instrument's upload in one transaction, one after another, each taking its
// tests in batches. A test already there, in the archive or earlier in the write, is neither
// stored nor counted: the first to come is kept. Dropped before its commit, it leaves nothing.
TEST_P(ArchiveTest, UploadsOfOneWriteShareItsTransaction) {
    auto twice = [](int first, int last) {  // each test twice, the second time PN "again"
        std::vector<Texts> tests;
        for (const char* pn : {"first", "again"}) {
            for (int seq = first; seq <= last; ++seq)
                tests.push_back({std::to_string(seq), pn, "C", "1", "N", "4"});
        }
        return HistoryWith(tests, 0).records;
    };
    for (bool commit : {false, true}) {
        std::unique_ptr<UploadWrite> write =
            OpenUploadWrite(location_, "import:f.csv", QDateTime::currentDateTimeUtc());
        for (auto [serial, batches] :
             std::vector<std::pair<const char*, std::vector<std::pair<int, int>>>>{
                 {"B", {{1, 300}, {201, 500}}}, {"A", {{1, 100}}}, {"B", {{400, 600}}}}) {
            ASSERT_TRUE(write->startUpload(Identification{serial, "S", "Norvik"}));
            for (auto [first, last] : batches)
                ASSERT_TRUE(write->addTests(twice(first, last))) << Why(write->result());
            ASSERT_TRUE(write->endUpload(1, {}));
        }
        if (commit) {
            ASSERT_TRUE(write->commit()) << Why(write->result());
        }
        ArchiveResult result = write->result();
        write.reset();
        EXPECT_EQ(counts(),
                  commit ? (std::vector<qint64>{2, 3, 700, 0}) : (std::vector<qint64>{0, 0, 0, 0}));
        if (!commit)
            continue;
        EXPECT_EQ(result.newTests, 700);
        std::vector<qint64> newTests, firstUploaded;
        for (qint64 upload : result.uploads) {
            newTests.push_back(
                count(QString("SELECT new_tests FROM uploads WHERE id = %1").arg(upload)));
            firstUploaded.push_back(count(
                QString("SELECT COUNT(*) FROM tests WHERE first_upload_id = %1").arg(upload)));
        }
        EXPECT_EQ(newTests, (std::vector<qint64>{500, 100, 100}));
        EXPECT_EQ(firstUploaded, newTests);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tests WHERE pn = 'again'"), 0);
}

// A server that ends the session half-way ends the write with the cause on one line, as a failure
// that may pass; the archive is left as it was.
TEST_F(PostgresArchive, AnEndedSessionSaysWhyMayPassAndLeavesNothing) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 10)).written());
    std::vector<qint64> before = counts();
    std::unique_ptr<UploadWrite> write =
        OpenUploadWrite(location_, "bench", QDateTime::currentDateTimeUtc());
    ASSERT_TRUE(write->startUpload(Uploaded(1, 1).identification));
    ASSERT_TRUE(write->addTests(Uploaded(11, 400).records));
    {
        ArchiveConnection other(location_, ArchiveConnection::Access::Write);
        ASSERT_TRUE(QSqlQuery(other.db())
                        .exec("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity"
                              " WHERE pid <> pg_backend_pid() AND datname = current_database()"));
    }
    EXPECT_FALSE(write->endUpload(401, {}) && write->commit());
    ArchiveResult result = write->result();
    ASSERT_TRUE(result.error);
    EXPECT_TRUE(result.error->passing) << Why(result);
    EXPECT_EQ(Why(result).find('\n'), std::string::npos) << Why(result);
    write.reset();
    EXPECT_EQ(counts(), before);
}

// Another writer holds SQLite's write lock past the 5 s busy timeout; the PostgreSQL server drops
// the connection half-way through the tests. Either way nothing of the upload stays, and, with no
// patience to wait it out, the write ends there.
TEST_P(ArchiveTest, AFailedWriteLeavesTheArchiveAsItWas) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 50)).written());
    location_.retryForMs = 0;
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
    nowhere.retryForMs = 0;
    ArchiveResult result = Store(nowhere, Uploaded(1, 5));
    ASSERT_FALSE(result.written());
    EXPECT_FALSE(Why(result).empty());
    EXPECT_EQ(result.error->passing, GetParam() == Engine::Postgres)
        << "a server that does not answer may be restarting; a file nobody can make is not";
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
              "it was made by a newer version (schema 7; this program knows " +
                  std::to_string(LatestSchemaVersion()) + ")",
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
             {"every table, schema_version without our column",
              {"CREATE TABLE schema_version (x)", "CREATE TABLE instruments (x)",
               "CREATE TABLE uploads (x)", "CREATE TABLE tests (x)",
               "CREATE TABLE unreadable_frames (x)"},
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
        Result<std::vector<History>, ArchiveError> read = SelectTests(location_, {});
        EXPECT_EQ(!read ? ArchiveErrorText(read.error()).toStdString()
                        : std::to_string(TestCount(read.value())) + " tests",
                  c.read)
            << c.name;
    }
}

// Nothing is written to a file before it is known to be an archive or empty: another program's
// database, a file that is no database, a database cut short all stay as they were, byte for byte,
// with no -wal or -shm beside them, whatever is asked of them.
TEST_F(SqliteArchive, FilesNotOursAreLeftByteForByte) {
    QByteArray database;
    {
        ArchiveConnection made(SqliteAt(folder_.path() + "/other.sqlite"),
                               ArchiveConnection::Access::Write);
        ASSERT_TRUE(QSqlQuery(made.db()).exec("CREATE TABLE readings (x)"));
    }
    QFile other(folder_.path() + "/other.sqlite");
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    database = other.readAll();
    for (const QByteArray& bytes : {database, QByteArray("SEQ#,PN\n1,P\n"), database.left(100)}) {
        QFile file(location_.path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        EXPECT_FALSE(Store(location_, Uploaded(1, 5)).written());
        EXPECT_FALSE(StorePartLimits(location_, {"P", 0.0, 1.0, "qa", QDateTime(), "sccm"}));
        ArchiveConnection reading(location_, ArchiveConnection::Access::Read);
        auto history = PartLimitsHistory(reading, "P");
        ASSERT_FALSE(history);
        if (bytes == database) {
            EXPECT_EQ(ArchiveErrorText(history.error()).toStdString(),
                      "not a QM4250 archive: " + location_.path.toStdString());
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);
        file.close();
        EXPECT_FALSE(QFile::exists(location_.path + "-wal"));
        EXPECT_FALSE(QFile::exists(location_.path + "-shm"));
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
    Result<std::vector<History>, ArchiveError> read = SelectTests(location_, {});
    ASSERT_FALSE(read);
    EXPECT_EQ(ArchiveErrorText(read.error()).toStdString(),
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
            Result<std::vector<History>, ArchiveError> read = SelectTests(location_, {});
            return !read ? ArchiveErrorText(read.error()).toStdString()
                         : std::to_string(TestCount(read.value())) + " tests";
        });
        if (outcome == kCannotDropRoot)
            GTEST_SKIP() << "cannot play an ordinary user here";
        EXPECT_EQ(outcome, "50 tests") << std::oct << folderMode << " " << fileMode;
        EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{"archive.sqlite"});
    }
    chmod(folder.constData(), 0700);
    Result<std::vector<History>, ArchiveError> missing =
        SelectTests(SqliteAt(folder_.path() + "/none.sqlite"), {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, ArchiveError::Kind::Missing);
    EXPECT_FALSE(QFile::exists(folder_.path() + "/none.sqlite"));
}

// Another session's lock, or a statement the server takes too long over, ends the write with
// the server's reason; nothing waits for ever. A lock on schema_version, read before anything
// else, is a lock too: the archive is not taken for another program's.
TEST_F(PostgresArchive, NothingWaitsForEverBehindALockOrASlowServer) {
    ASSERT_TRUE(Store(location_, Uploaded(1, 5)).written());
    ArchiveConnection other(location_, ArchiveConnection::Access::Write);
    QSqlQuery hold(other.db());
    ArchiveLocation impatient = location_;
    impatient.lockTimeoutMs = 200;
    impatient.retryForMs = 0;
    const std::string timedOut =
        location_.display().toStdString() + ": canceling statement due to lock timeout";
    for (const QString table : {"tests", "schema_version"}) {
        ASSERT_TRUE(hold.exec("BEGIN") &&
                    hold.exec("LOCK TABLE " + table + " IN ACCESS EXCLUSIVE MODE"));
        ArchiveResult locked = Store(impatient, Uploaded(6, 10));
        EXPECT_EQ(Why(locked), timedOut) << table.toStdString();
        EXPECT_TRUE(locked.error && locked.error->passing) << "another try may find the lock gone";
        ASSERT_TRUE(hold.exec("ROLLBACK"));
    }
    ASSERT_TRUE(
        hold.exec("CREATE FUNCTION slow() RETURNS trigger AS $$ BEGIN"
                  " PERFORM pg_sleep(30); RETURN NEW; END $$ LANGUAGE plpgsql"));
    ASSERT_TRUE(
        hold.exec("CREATE TRIGGER slow BEFORE INSERT ON tests FOR EACH ROW"
                  " EXECUTE FUNCTION slow()"));
    impatient.statementTimeoutMs = 200;
    ArchiveResult slow = Store(impatient, Uploaded(6, 10));
    EXPECT_EQ(Why(slow),
              location_.display().toStdString() + ": canceling statement due to statement timeout");
    EXPECT_TRUE(slow.error && !slow.error->passing) << "a statement too slow stays too slow";
    EXPECT_EQ(count("SELECT COUNT(*) FROM tests"), 5);
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, testing::Values(Engine::Sqlite, Engine::Postgres),
                         EngineName);

}  // namespace
