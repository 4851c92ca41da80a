#include "archive/upload_archive.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "archive/schema.h"
#include "archive/test_columns.h"
#include "version.h"

namespace qm4250 {

UploadWrite::UploadWrite(const ArchiveLocation& location, QString device, const QDateTime& when)
    : connection_(location, ArchiveConnection::Access::Write),
      device_(std::move(device)),
      when_(when) {
    if (!connection_.isOpen()) {
        error_ = connection_.error();
        return;
    }
    if (std::optional<ArchiveError> refused = MigrateSchema(connection_)) {
        error_ = refused;
        return;
    }
    bool sqlite = connection_.location().engine == ArchiveLocation::Engine::Sqlite;
    QSqlQuery query(connection_.db());
    if (!query.exec(sqlite ? "BEGIN IMMEDIATE" : "BEGIN")) {
        fail(OneLine(query.lastError()));
        return;
    }
    open_ = true;
}

UploadWrite::~UploadWrite() {
    insert_.reset();
    if (open_)
        QSqlQuery(connection_.db()).exec("ROLLBACK");
}

bool UploadWrite::startUpload(const std::optional<Identification>& instrument) {
    if (error_)
        return false;
    insert_.reset();
    QSqlQuery query(connection_.db());
    QString serial = instrument ? ArchiveText(instrument->serial) : QString("");
    query.prepare(
        "INSERT INTO instruments (serial, model) VALUES (?, ?)"
        " ON CONFLICT (serial) DO NOTHING");
    query.addBindValue(serial);
    query.addBindValue(instrument ? ArchiveText(instrument->modelName) : QString(""));
    if (!run(query))
        return false;
    query.prepare("SELECT id FROM instruments WHERE serial = ?");
    query.addBindValue(serial);
    if (!run(query) || !query.next())
        return fail("the instrument is not there after its insert");
    qint64 instrumentId = query.value(0).toLongLong();
    query.prepare(
        "INSERT INTO uploads (uploaded_at, instrument_id, device, frames, new_tests,"
        " unreadable_frames, program_version) VALUES (?, ?, ?, 0, 0, 0, ?) RETURNING id");
    query.addBindValue(when_.toUTC().toString("yyyy-MM-dd HH:mm:ss"));
    query.addBindValue(instrumentId);
    query.addBindValue(device_);
    query.addBindValue(QString(kVersion));
    if (!run(query) || !query.next())
        return fail("the upload has no id after its insert");
    uploadId_ = query.value(0).toLongLong();
    uploads_.push_back(uploadId_);
    insert_ = MakeTestInsert(connection_, instrumentId, uploadId_);
    return true;
}

bool UploadWrite::addTests(std::span<const TestRecord> tests) {
    if (error_)
        return false;
    bool inserted = insert_->insert(tests);
    return inserted || fail(insert_->error());
}

bool UploadWrite::endUpload(int32_t frames, const std::vector<std::string>& unreadable) {
    if (error_)
        return false;
    QSqlQuery query(connection_.db());
    query.prepare("INSERT INTO unreadable_frames (upload_id, body) VALUES (?, ?)");
    for (const std::string& body : unreadable) {
        query.addBindValue(uploadId_);
        query.addBindValue(QByteArray(body.data(), static_cast<qsizetype>(body.size())));
        if (!run(query))
            return false;
    }
    query.prepare(
        "UPDATE uploads SET frames = ?, new_tests = ?, unreadable_frames = ?"
        " WHERE id = ?");
    query.addBindValue(frames);
    query.addBindValue(insert_->newTests());
    query.addBindValue(static_cast<int>(unreadable.size()));
    query.addBindValue(uploadId_);
    if (!run(query))
        return false;
    newTests_ += insert_->newTests();
    insert_.reset();
    return true;
}

bool UploadWrite::commit() {
    if (error_)
        return false;
    QSqlQuery query(connection_.db());
    if (!query.exec("COMMIT"))
        return fail(OneLine(query.lastError()));
    open_ = false;
    return true;
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

bool UploadWrite::run(QSqlQuery& query) {
    return query.exec() || fail(OneLine(query.lastError()));
}

bool UploadWrite::fail(const QString& detail) {
    if (!error_)
        error_ = ArchiveError{ArchiveError::Kind::Failed, connection_.location().display(), detail};
    return false;
}

ArchiveResult StoreUpload(const ArchiveLocation& location, const ArchivedUpload& upload) {
    UploadWrite write(location, upload.device, upload.when);
    if (write.startUpload(upload.history.identification) &&
        write.addTests(upload.history.records) &&
        write.endUpload(upload.frames, upload.history.unreadable))
        write.commit();
    return write.result();
}

}  // namespace qm4250
