#include "archive/upload_archive.h"

#include <QVariant>

#include "archive/kept_text.h"
#include "archive/postgres_upload_write.h"
#include "archive/schema.h"
#include "archive/sqlite_upload_write.h"
#include "version.h"

namespace qm4250 {

UploadWrite::UploadWrite(const ArchiveLocation& location, QString device, const QDateTime& when)
    : connection_(location, ArchiveConnection::Access::Write),
      device_(std::move(device)),
      when_(when) {
    if (!connection_.isOpen())
        error_ = connection_.error();
    else if (Result<void, ArchiveError> migrated = MigrateSchema(connection_); !migrated)
        error_ = migrated.error();
}

UploadWrite::~UploadWrite() {
    if (open_)
        QSqlQuery(connection_.db()).exec("ROLLBACK");
}

ArchiveResult UploadWrite::result() const {
    ArchiveResult result;
    result.error = error_;
    if (!error_) {
        result.newTests = newTests_;
        result.uploads = uploads_;
    }
    return result;
}

std::optional<qint64> UploadWrite::instrumentId(const std::optional<Identification>& instrument) {
    QSqlQuery query(connection_.db());
    QString serial = instrument ? KeptTextOfBytes(instrument->serial) : QString("");
    query.prepare(
        "INSERT INTO instruments (serial, model) VALUES (?, ?)"
        " ON CONFLICT (serial) DO NOTHING");
    query.addBindValue(serial);
    query.addBindValue(instrument ? KeptTextOfBytes(instrument->modelName) : QString(""));
    if (!run(query))
        return std::nullopt;
    query.prepare("SELECT id FROM instruments WHERE serial = ?");
    query.addBindValue(serial);
    if (!run(query))
        return std::nullopt;
    if (!query.next()) {
        fail("the instrument is not there after its insert");
        return std::nullopt;
    }
    return query.value(0).toLongLong();
}

std::optional<qint64> UploadWrite::insertUploadRow(qint64 instrument) {
    QSqlQuery query(connection_.db());
    query.prepare(
        "INSERT INTO uploads (uploaded_at, instrument_id, device, frames, new_tests,"
        " unreadable_frames, program_version) VALUES (?, ?, ?, 0, 0, 0, ?) RETURNING id");
    query.addBindValue(when_.toUTC().toString("yyyy-MM-dd HH:mm:ss"));
    query.addBindValue(instrument);
    query.addBindValue(device_);
    query.addBindValue(QString(kVersion));
    if (!run(query))
        return std::nullopt;
    if (!query.next()) {
        fail("the upload has no id after its insert");
        return std::nullopt;
    }
    uploads_.push_back(query.value(0).toLongLong());
    return uploads_.back();
}

bool UploadWrite::endUploadRow(qint64 upload, int32_t frames, int newTests,
                               const std::vector<std::string>& unreadable) {
    QSqlQuery query(connection_.db());
    query.prepare("INSERT INTO unreadable_frames (upload_id, body) VALUES (?, ?)");
    for (const std::string& body : unreadable) {
        query.addBindValue(upload);
        query.addBindValue(QByteArray(body.data(), static_cast<qsizetype>(body.size())));
        if (!run(query))
            return false;
    }
    query.prepare(
        "UPDATE uploads SET frames = ?, new_tests = ?, unreadable_frames = ?"
        " WHERE id = ?");
    query.addBindValue(frames);
    query.addBindValue(newTests);
    query.addBindValue(static_cast<int>(unreadable.size()));
    query.addBindValue(upload);
    if (!run(query))
        return false;
    newTests_ += newTests;
    return true;
}

bool UploadWrite::begin() {
    bool sqlite = connection_.location().engine == ArchiveLocation::Engine::Sqlite;
    QSqlQuery query(connection_.db());
    if (!query.exec(sqlite ? "BEGIN IMMEDIATE" : "BEGIN"))
        return fail(query.lastError());
    open_ = true;
    return true;
}

bool UploadWrite::commitTransaction() {
    QSqlQuery query(connection_.db());
    if (!query.exec("COMMIT"))
        return fail(query.lastError());
    open_ = false;
    return true;
}

bool UploadWrite::run(QSqlQuery& query) {
    return query.exec() || fail(query.lastError());
}

bool UploadWrite::fail(const QSqlError& error) {
    if (!error_)
        error_ = connection_.failure(error);
    return false;
}

bool UploadWrite::fail(const QString& detail) {
    if (!error_)
        error_ = ArchiveError{ArchiveError::Kind::Failed, connection_.location().display(), detail};
    return false;
}

std::unique_ptr<UploadWrite> OpenUploadWrite(const ArchiveLocation& location, QString device,
                                             const QDateTime& when) {
    if (location.engine == ArchiveLocation::Engine::Sqlite)
        return MakeSqliteUploadWrite(location, std::move(device), when);
    return MakePostgresUploadWrite(location, std::move(device), when);
}

ArchiveResult StoreUpload(const ArchiveLocation& location, const ArchivedUpload& upload,
                          const ArchiveWaiting& waiting) {
    ArchiveRetry retry(std::chrono::milliseconds(location.retryForMs), waiting);
    for (;;) {
        std::unique_ptr<UploadWrite> write = OpenUploadWrite(location, upload.device, upload.when);
        if (write->startUpload(upload.history.identification) &&
            write->addTests(upload.history.records) &&
            write->endUpload(upload.frames, upload.history.unreadable))
            write->commit();
        ArchiveResult result = write->result();
        if (result.written() || !retry.again(*result.error))
            return result;
    }
}

}  // namespace qm4250
