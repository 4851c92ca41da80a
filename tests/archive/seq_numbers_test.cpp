// The Seq# and instrument of tests looked up by id, on both engines.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive/test_points.h"
#include "history_rows.h"
#include "test_archives.h"

using namespace qm4250;

namespace {

using TestNames = std::map<qint64, TestName>;

class SeqNumbersTest : public testing::TestWithParam<Engine> {};

// 1,001 tests' ids, the first again and two no test has: two full statements of 500 and a shorter
// third, prepared anew.
TEST_P(SeqNumbersTest, EachIdGetsItsOwnSeqUnknownIdsNoneAndAFailedReadAnError) {
    QTemporaryDir folder;
    ArchiveLocation location;
    MakeEmptyArchive(GetParam(), folder, location);
    std::vector<std::string> frames{"1S4711"};
    for (int k = 1; k <= 1001; ++k)
        frames.push_back("1" + std::to_string(k) + ",PN,C,0.001,N," + std::to_string(k) + "000,4");
    ASSERT_TRUE(
        StoreUpload(location, {HistoryOf(frames), "", 1002, QDateTime::currentDateTimeUtc()})
            .written());
    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    QSqlQuery all(connection.db());
    ASSERT_TRUE(all.exec("SELECT id, seq FROM tests"));
    TestNames expected;
    std::vector<qint64> ids;
    while (all.next()) {
        ids.push_back(all.value(0).toLongLong());
        expected[ids.back()] = {all.value(1).toString(), "4711"};
    }
    ASSERT_EQ(ids.size(), 1001u);
    ids.insert(ids.end(), {ids.front(), expected.rbegin()->first + 1, -1});
    EXPECT_TRUE(TestNamesOf(connection, ids).value() == expected);  // or throws
    EXPECT_TRUE(TestNamesOf(connection, {}).value().empty());
    ArchiveConnection writer(location, ArchiveConnection::Access::Write);
    ASSERT_TRUE(QSqlQuery(writer.db()).exec("ALTER TABLE tests RENAME TO gone"));
    EXPECT_FALSE(TestNamesOf(connection, ids));
}

INSTANTIATE_TEST_SUITE_P(Engines, SeqNumbersTest, testing::Values(Engine::Sqlite, Engine::Postgres),
                         EngineName);

}  // namespace
