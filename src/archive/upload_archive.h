#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/test_insert.h"
#include "protocol/history.h"

namespace qm4250 {

// What writing an upload to the archive came to.
struct ArchiveResult {
    std::optional<ArchiveError> error;  // none: written
    int newTests = 0;                   // tests the archive did not hold before
    std::vector<qint64> uploads;        // the uploads written, by id: their new tests name them

    bool written() const { return !error; }
};

// Uploads being written to the archive, in one transaction: an upload from the instrument, or the
// uploads an imported file holds, one for each instrument in it. Until commit() succeeds nothing
// of them is in the archive: dropped before, or after any failure, the transaction is rolled back
// and the archive is left exactly as it was.
class UploadWrite {
  public:
    // Opens the archive for writing (creating it and its schema as needed) and begins the
    // transaction; the uploads come from this device (an import names its file). Check failed().
    UploadWrite(const ArchiveLocation& location, QString device, const QDateTime& when);
    ~UploadWrite();
    UploadWrite(const UploadWrite&) = delete;
    UploadWrite& operator=(const UploadWrite&) = delete;

    // Starts the upload of this instrument's tests, ending the one before.
    bool startUpload(const std::optional<Identification>& instrument);
    bool addTests(std::span<const TestRecord> tests);
    // Records the upload's frames received and those that could not be read.
    bool endUpload(int32_t frames, const std::vector<std::string>& unreadable);
    bool commit();

    // The outcome so far: new tests of every upload.
    ArchiveResult result() const;
    bool failed() const { return error_.has_value(); }

  private:
    bool run(QSqlQuery& query);
    bool fail(const QString& detail);

    ArchiveConnection connection_;
    QString device_;
    QDateTime when_;
    std::unique_ptr<TestInsert> insert_;
    qint64 uploadId_ = 0;
    std::vector<qint64> uploads_;
    int newTests_ = 0;
    bool open_ = false;  // the transaction is running
    std::optional<ArchiveError> error_;
};

// One upload as it goes into the archive whole.
struct ArchivedUpload {
    const History& history;
    QString device;      // the serial device it came from
    int32_t frames = 0;  // history frames received, the identification included
    QDateTime when;      // when it ended, UTC
};

// Writes the upload, its instrument, its test records and its unreadable frames to the archive in
// one transaction, as UploadWrite does.
ArchiveResult StoreUpload(const ArchiveLocation& location, const ArchivedUpload& upload);

}  // namespace qm4250
