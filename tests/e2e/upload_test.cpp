// Whole uploads, from a click on REQUEST to the response timeout, against the simulator.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include "archive/archive_connection.h"
#include "e2e_rig.h"
#include "expected_texts.h"
#include "message_box_catcher.h"

using namespace qm4250;

namespace {

using Upload = EndToEndTest;

TEST_F(Upload, EveryRecordArrivesInOrderAndIsAcknowledged) {
    constexpr int kRecords = 300;
    startSimulator({"--model", "Q", "--serial", "77", "--replay", writeReplayFile(kRecords)});
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());

    ASSERT_EQ(state().recordIndex(), kRecords);
    EXPECT_EQ(RowText(*state().history()->identification), "SN = 77;Model: Pellmar");
    EXPECT_EQ(keptRows(), ReplayedRows(1, kRecords));
    EXPECT_EQ(find<QListWidget>("List1")->count(), 1 + kRecords + kRecords / 10);
    EXPECT_EQ(find<QLabel>("Label3")->text(), "GP  -Rej +Rej");
    EXPECT_EQ(repliesReceived(), std::string(kRecords + 1, 'A'));
    EXPECT_EQ(statusText(), "");
    EXPECT_EQ(find<QLabel>("Panel2")->text(), "Records: 300");
    for (const char* name : {"cmdSave", "cmdReqMode", "cmdSetMode"})
        EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
}

struct CountCase {
    const char* numValues;
    int recordIndex;
    const char* replies;
};

class RequestedCount : public EndToEndTest, public testing::WithParamInterface<CountCase> {};

TEST_P(RequestedCount, EndsTheUploadWithCan) {
    startSimulator({"--replay", writeReplayFile(20)});
    find<QLineEdit>("txtNumValues")->setText(GetParam().numValues);
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(state().recordIndex(), GetParam().recordIndex);
    EXPECT_EQ(repliesReceived(), GetParam().replies);
    EXPECT_EQ(find<QLabel>("Panel2")->text(),
              QString("Records: %1 of %2").arg(GetParam().recordIndex).arg(GetParam().numValues));
}

INSTANTIATE_TEST_SUITE_P(Counts, RequestedCount,
                         testing::Values(CountCase{"3", 3, "AAAC"}, CountCase{"0", 0, "C"}));

TEST_F(Upload, CancelStopsAfterTheRecordInTransit) {
    startSimulator({"--replay", writeReplayFile(100), "--pause-after", "40", "300"});
    click("cmdRequest");
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().recordIndex() == 39; }, 5000));
    click("cmdCancel");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(state().recordIndex(), 40);
    EXPECT_EQ(keptRows(), ReplayedRows(1, 40));
    EXPECT_EQ(repliesReceived(), std::string(40, 'A') + "C");
}

TEST_F(Upload, APauseLongerThanTheResponseTimeEndsItKeepingTheRecords) {
    startSimulator({"--replay", writeReplayFile(50), "--pause-after", "20", "800"});
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(state().recordIndex(), 19);
    EXPECT_EQ(keptRows(), ReplayedRows(1, 19));
    EXPECT_EQ(statusText(), "");
}

TEST_F(Upload, NoiseAndStrayEtxBetweenFramesLoseNothing) {
    constexpr int kRecords = 200;
    startSimulator(
        {"--replay", writeReplayFile(kRecords), "--noise", "0.5", "--stray-etx", "--seed", "7"});
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_EQ(state().recordIndex(), kRecords);
    EXPECT_EQ(keptRows(), ReplayedRows(1, kRecords));
}

TEST_F(Upload, AGarbledRecordShowsNothingAndTheRestGoesOn) {
    startSimulator({"--replay", writeReplayFile(12), "--garble", "5", "--garble", "8:time"});
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(state().recordIndex(), 12);
    EXPECT_EQ(keptRows(), ReplayedRows(1, 12, {5, 8}));
    EXPECT_EQ(find<QListWidget>("List1")->count(), 1 + 10 + 1);
    EXPECT_EQ(find<QLabel>("Panel2")->text(), "Records: 12 (2 unreadable)");
    EXPECT_EQ(repliesReceived(), std::string(13, 'A'));
}

TEST_F(Upload, EveryUploadIsArchivedOnceWithWhatCouldNotBeRead) {
    std::string archive = folder() + "/archive.sqlite";
    useArchive(archive);
    startSimulator({"--replay", writeReplayFile(12), "--garble", "5", "--garble", "8:time"});
    for (const char* newTests : {"10", "0"}) {
        click("cmdRequest");
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(
            find<QLabel>("Panel2")->text(),
            QString::fromUtf8("Records: 12 (2 unreadable) \u00B7 %1 new in archive").arg(newTests));
    }
    ArchiveLocation location;
    location.path = QString::fromStdString(archive);
    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    QSqlQuery query(connection.db());
    ASSERT_TRUE(query.exec("SELECT (SELECT COUNT(*) FROM tests), (SELECT COUNT(*) FROM uploads),"
                           " (SELECT COUNT(*) FROM unreadable_frames), (SELECT device FROM uploads"
                           " LIMIT 1)") &&
                query.next());
    EXPECT_EQ(query.value(0).toInt(), 10);
    EXPECT_EQ(query.value(1).toInt(), 2);
    EXPECT_EQ(query.value(2).toInt(), 4);
    EXPECT_EQ(query.value(3).toString().toStdString(), simulator_->firstLine());
}

TEST_F(Upload, ALocationThatIsNotAnArchivesIsSaidInTheRecordCounter) {
    useArchive("sqlite://archive.sqlite");
    startSimulator({"--replay", writeReplayFile(3)});
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(find<QLabel>("Panel2")->text(),
              QString::fromUtf8("Records: 3 \u00B7 archive not written: not an archive location: "
                                "sqlite://archive.sqlite (expected "
                                "postgresql://user@host/database or a file path)"));
}

TEST_F(Upload, AHangUpIsOneEventAndKeepsTheRecordsThroughTheNextRequest) {
    int lineErrors = 0, losses = 0, readsAfterLoss = 0;
    QObject::connect(&port_, &QtSerialPort::lineError, window_.get(), [&] { ++lineErrors; });
    QObject::connect(&port_, &QtSerialPort::portLost, window_.get(), [&] { ++losses; });
    QObject::connect(&port_, &QtSerialPort::dataReceived, window_.get(),
                     [&] { readsAfterLoss += losses; });
    startSimulator({"--replay", writeReplayFile(50), "--hangup-after", "10"});
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(state().recordIndex(), 10);
    EXPECT_EQ(keptRows(), ReplayedRows(1, 10));
    EXPECT_EQ(losses, 1);
    EXPECT_EQ(lineErrors, 0);
    EXPECT_EQ(readsAfterLoss, 0);
    EXPECT_EQ(statusText().toStdString(), "Error - port closed: " + simulator_->firstLine() +
                                              ": the line was hung up or cannot be read");

    MessageBoxCatcher catcher;
    click("cmdRequest");
    EXPECT_EQ(catcher.texts, QStringList{kRequestPortFailureText});
    EXPECT_EQ(keptRows(), ReplayedRows(1, 10)) << "the failed REQUEST discarded nothing";
}

// A SQLite file another program holds: the write waits on its worker while the window goes on
// answering; a REQUEST meanwhile waits for the write, and both uploads reach the archive.
TEST_F(Upload, ALockedArchiveHoldsNeitherTheWindowNorAnUpload) {
    std::string archive = folder() + "/locked.sqlite";
    useArchive(archive);
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other program");
        other.setDatabaseName(QString::fromStdString(archive));
        ASSERT_TRUE(other.open());
        QSqlQuery query(other);
        ASSERT_TRUE(query.exec("BEGIN EXCLUSIVE"));
        startSimulator({"--replay", writeReplayFile(5)});

        click("cmdRequest");
        ASSERT_TRUE(QTest::qWaitFor([&] { return archiving(); }));
        click("cmdReqMode");
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return find<QLineEdit>("txtCurrentMode")->text() == "RUN"; }));
        EXPECT_TRUE(archiving()) << "the mode reply was handled while the archive waited";
        click("cmdRequest");
        EXPECT_EQ(state().recordIndex(), 5) << "REQUEST waits for the write";
        ASSERT_TRUE(query.exec("ROLLBACK"));

        // The write goes in, and the held REQUEST runs at once: idle only after its own write.
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(find<QLabel>("Panel2")->text(),
                  QString::fromUtf8("Records: 5 \u00B7 0 new in archive"));
        ASSERT_TRUE(query.exec("SELECT COUNT(*), SUM(new_tests) FROM uploads") && query.next());
        EXPECT_EQ(query.value(0).toInt(), 2);
        EXPECT_EQ(query.value(1).toInt(), 5);
    }
    QSqlDatabase::removeDatabase("other program");
}

}  // namespace
