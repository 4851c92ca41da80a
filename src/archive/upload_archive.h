#pragma once

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/archive_retry.h"
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
// and the archive is left exactly as it was. Each engine writes them its own way (OpenUploadWrite).
class UploadWrite {
  public:
    virtual ~UploadWrite();
    UploadWrite(const UploadWrite&) = delete;
    UploadWrite& operator=(const UploadWrite&) = delete;

    // Starts the upload of this instrument's tests, ending the one before.
    virtual bool startUpload(const std::optional<Identification>& instrument) = 0;
    virtual bool addTests(std::span<const TestRecord> tests) = 0;
    // Records the upload's frames received and those that could not be read.
    virtual bool endUpload(int32_t frames, const std::vector<std::string>& unreadable) = 0;
    virtual bool commit() = 0;

    // The outcome so far: new tests of every upload.
    ArchiveResult result() const;
    bool failed() const { return error_.has_value(); }

  protected:
    // Opens the archive for writing, creating it and its schema as needed; the uploads come from
    // this device (an import names its file). Check failed().
    UploadWrite(const ArchiveLocation& location, QString device, const QDateTime& when);

    // The instrument's id, its row made where the archive has none yet.
    std::optional<qint64> instrumentId(const std::optional<Identification>& instrument);
    // A new upload of the instrument, its counts filled in by endUploadRow.
    std::optional<qint64> insertUploadRow(qint64 instrument);
    bool endUploadRow(qint64 upload, int32_t frames, int newTests,
                      const std::vector<std::string>& unreadable);
    bool begin();
    bool commitTransaction();
    bool fail(const QSqlError& error);
    bool fail(const QString& detail);

    ArchiveConnection connection_;
    std::vector<qint64> uploads_;
    int newTests_ = 0;

  private:
    bool run(QSqlQuery& query);

    QString device_;
    QDateTime when_;
    bool open_ = false;  // the transaction is running
    std::optional<ArchiveError> error_;
};

// The write for the location's engine. Check failed().
std::unique_ptr<UploadWrite> OpenUploadWrite(const ArchiveLocation& location, QString device,
                                             const QDateTime& when);

// One upload as it goes into the archive whole.
struct ArchivedUpload {
    const History& history;
    QString device;      // the serial device it came from
    int32_t frames = 0;  // history frames received, the identification included
    QDateTime when;      // when it ended, UTC
};

// Writes the upload, its instrument, its test records and its unreadable frames to the archive in
// one transaction, as UploadWrite does. A failure that may pass is waited out, the whole write
// tried again, for as long as the location says; `waiting` hears each such failure first.
ArchiveResult StoreUpload(const ArchiveLocation& location, const ArchivedUpload& upload,
                          const ArchiveWaiting& waiting = {});

}  // namespace qm4250
