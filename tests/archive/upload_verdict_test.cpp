// The verdict on an upload's new tests, read from the archive on both engines.
#include "archive/upload_verdict.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive/part_limits.h"
#include "history_rows.h"
#include "session/record_counter.h"
#include "test_archives.h"

using namespace qm4250;

namespace {

class UploadVerdictTest : public testing::TestWithParam<Engine> {};

// A test of instrument 4711 a minute after the one before.
std::string Frame(int seq, const char* pn, double leak, const char* error = "N") {
    return "1" + std::to_string(seq) + "," + pn + ",C," + std::to_string(leak) + "," + error + "," +
           std::to_string(600000000 + seq * 60) + ",4";
}

std::string VerdictTextOf(const ArchiveLocation& location, const ArchiveResult& stored) {
    auto verdict = VerdictOnUploads(location, stored.uploads);
    if (!verdict)
        return "error: " + verdict.error().detail.toStdString();
    return VerdictText(verdict.value());
}

// The second upload brings the first one's 30 tests again, a passed test beyond the limits, a
// reject beyond them and a test of another PN; only the passed one is said.
TEST_P(UploadVerdictTest, TheNewPassedTestsBeyondTheirPartsLimitsAreSaid) {
    QTemporaryDir folder;
    ArchiveLocation location;
    MakeEmptyArchive(GetParam(), folder, location);
    const double kProcess[] = {0.0029, 0.0031, 0.0030, 0.0032, 0.0028};
    std::vector<std::string> frames{"1S4711"};
    for (int k = 1; k <= 30; ++k)
        frames.push_back(Frame(k, "A12", kProcess[k % 5]));
    ArchiveResult first =
        StoreUpload(location, {HistoryOf(frames), "", 31, QDateTime::currentDateTimeUtc()});
    ASSERT_TRUE(first.written());
    EXPECT_EQ(VerdictTextOf(location, first), "") << "a first upload judged by its own limits";

    frames.insert(frames.end(),
                  {Frame(31, "A12", 0.006), Frame(32, "A12", 0.009, "3"), Frame(33, "B7", 0.5)});
    ArchiveResult second =
        StoreUpload(location, {HistoryOf(frames), "", 34, QDateTime::currentDateTimeUtc()});
    ASSERT_EQ(second.newTests, 3);
    EXPECT_EQ(VerdictTextOf(location, second), "A12: 1 beyond UCL");

    PartLimits tolerance{"A12", std::nullopt, 0.005, "qa", QDateTime::currentDateTimeUtc()};
    ASSERT_TRUE(StorePartLimits(location, tolerance));
    EXPECT_EQ(VerdictTextOf(location, second), "A12: 1 beyond UCL, 1 beyond USL");

    ArchiveConnection writer(location, ArchiveConnection::Access::Write);
    ASSERT_TRUE(QSqlQuery(writer.db()).exec("ALTER TABLE tests RENAME TO gone"));
    EXPECT_EQ(VerdictTextOf(location, second).substr(0, 7), "error: ");
}

INSTANTIATE_TEST_SUITE_P(Engines, UploadVerdictTest,
                         testing::Values(Engine::Sqlite, Engine::Postgres), EngineName);

}  // namespace
