// The Seq# of tests looked up by id, on both engines.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>

#include "archive/test_points.h"
#include "history_rows.h"
#include "test_archives.h"

using namespace qm4250;

namespace {

using SeqNumbers = std::map<qint64, QString>;

class SeqNumbersTest : public testing::TestWithParam<Engine> {};

// 1,001 tests an hour apart, Seq# 1 to 1001: the ids asked for fill two chunks and begin a third.
TEST_P(SeqNumbersTest, EachIdGetsItsOwnSeqUnknownIdsNoneAndAFailedReadAnError) {
    QTemporaryDir folder;
    ArchiveLocation location;
    MakeEmptyArchive(GetParam(), folder, location);
    ASSERT_FALSE(HasFatalFailure());
    constexpr int kTests = 1001;
    std::vector<std::string> frames{"1S4711"};
    for (int k = 1; k <= kTests; ++k)
        frames.push_back("1" + std::to_string(k) + ",PN,C,0.001,N," + std::to_string(3600 * k) +
                         ",4");
    ASSERT_TRUE(StoreUpload(location, {HistoryOf(frames), "/dev/ttyUSB0", kTests + 1,
                                       QDateTime::currentDateTimeUtc()})
                    .written());

    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    auto selected = SelectTestPoints(connection, TestFilter{});
    ASSERT_TRUE(std::holds_alternative<SelectedTests>(selected));
    const std::vector<TestPoint>& points = std::get<SelectedTests>(selected).points;
    ASSERT_EQ(points.size(), size_t(kTests));
    // Newest first, the oldest again, and two ids no test has.
    std::vector<qint64> ids;
    for (auto point = points.rbegin(); point != points.rend(); ++point)
        ids.push_back(point->id);
    qint64 highest = *std::max_element(ids.begin(), ids.end());
    ids.insert(ids.end(), {points.front().id, highest + 1, -1});

    auto found = SeqNumbersOf(connection, ids);
    ASSERT_TRUE(std::holds_alternative<SeqNumbers>(found))
        << ArchiveErrorText(std::get<ArchiveError>(found)).toStdString();
    const SeqNumbers& seqs = std::get<SeqNumbers>(found);
    EXPECT_EQ(seqs.size(), size_t(kTests));
    for (size_t k = 0; k < points.size(); ++k) {
        auto seq = seqs.find(points[k].id);
        ASSERT_NE(seq, seqs.end()) << k;
        EXPECT_EQ(seq->second, QString::number(k + 1));
    }
    auto none = SeqNumbersOf(connection, {});
    ASSERT_TRUE(std::holds_alternative<SeqNumbers>(none));
    EXPECT_TRUE(std::get<SeqNumbers>(none).empty());

    ArchiveConnection writer(location, ArchiveConnection::Access::Write);
    ASSERT_TRUE(QSqlQuery(writer.db()).exec("ALTER TABLE tests RENAME TO gone"));
    EXPECT_TRUE(std::holds_alternative<ArchiveError>(SeqNumbersOf(connection, ids)));
}

INSTANTIATE_TEST_SUITE_P(Engines, SeqNumbersTest, testing::Values(Engine::Sqlite, Engine::Postgres),
                         EngineName);

}  // namespace
