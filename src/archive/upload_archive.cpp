#include "archive/upload_archive.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cmath>
#include <cstdio>

#include "archive/archive_connection.h"
#include "archive/schema.h"
#include "version.h"

namespace qm4250 {

namespace {

constexpr int kTestColumns = 15;

// Rows per INSERT. On PostgreSQL one round trip per 200 tests keeps a long upload fast. SQLite
// has no round trips, and it parses many parameters in time that grows with their square, so
// there one statement, prepared once, is run for each test.
int RowsPerInsert(ArchiveLocation::Engine engine) {
    return engine == ArchiveLocation::Engine::Sqlite ? 1 : 200;
}

// Received bytes as the Latin-1 characters they are. PostgreSQL's text cannot hold the byte 0
// (and its client library would cut the text there), so it becomes U+2400, the symbol for it.
QString Text(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .replace(QChar(0), QChar(0x2400));
}

// The leak as a number where its text is one, else NULL.
QVariant LeakValue(std::string_view text) {
    bool ok = false;
    double value = Text(text).toDouble(&ok);
    return ok && std::isfinite(value) ? QVariant(value) : QVariant(QMetaType(QMetaType::Double));
}

// The time stamp on the instrument's clock as a sortable date and time. Worked out by hand, as
// QDateTime's formatting costs more than the rest of a test's insert.
QString TestedAt(int32_t seconds) {
    constexpr int64_t kDay = 86400;
    constexpr int64_t kDaysFrom1970To2004 = 12418;
    int64_t days =
        (seconds >= 0 ? seconds / kDay : (seconds - kDay + 1) / kDay) + kDaysFrom1970To2004;
    int64_t second = seconds - (days - kDaysFrom1970To2004) * kDay;
    // Days to civil date, after H. Hinnant's algorithm.
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(year),
                  static_cast<int>(month), static_cast<int>(day), static_cast<int>(second / 3600),
                  static_cast<int>(second % 3600 / 60), static_cast<int>(second % 60));
    return QString::fromLatin1(text);
}

QString TestInsert(int rows) {
    QString row = "(" + QString("?, ").repeated(kTestColumns - 1) + "?)";
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << row;
    return "INSERT INTO tests (instrument_id, seq, pn, cust_code, leak_text, leak, error_code,"
           " time_seconds, tested_at, relay_field, power_up, relay_gp, relay_bp, relay_ge,"
           " first_upload_id) VALUES " +
           values.join(", ") + " ON CONFLICT (instrument_id, seq, time_seconds) DO NOTHING";
}

void BindTest(QSqlQuery& query, qint64 instrument, const TestRecord& r, qint64 upload) {
    query.addBindValue(instrument);
    query.addBindValue(Text(r.seq()));
    query.addBindValue(Text(r.pn()));
    query.addBindValue(Text(r.custCode()));
    query.addBindValue(Text(r.leak()));
    query.addBindValue(LeakValue(r.leak()));
    query.addBindValue(Text(r.errorCode()));
    query.addBindValue(r.seconds());
    query.addBindValue(TestedAt(r.seconds()));
    query.addBindValue(Text(r.relayField()));
    query.addBindValue(PowerUp(r) ? 1 : 0);
    query.addBindValue(RelayOn(r, 2) ? 1 : 0);
    query.addBindValue(RelayOn(r, 3) ? 1 : 0);
    query.addBindValue(RelayOn(r, 4) ? 1 : 0);
    query.addBindValue(upload);
}

// The writing itself, inside the transaction; write() returns why it failed, if it did.
class UploadWriter {
  public:
    UploadWriter(QSqlDatabase& db, const ArchivedUpload& upload, int rowsPerInsert)
        : db_(db), upload_(upload), rowsPerInsert_(rowsPerInsert) {}

    QString write() {
        if (!instrument() || !uploadRow() || !tests() || !unreadableFrames() || !newTestCount())
            return error_;
        return {};
    }
    int newTests() const { return newTests_; }

  private:
    bool run(QSqlQuery& query, const QString& what) {
        return query.exec() || failWith(what + ": " + query.lastError().text());
    }
    bool failWith(const QString& reason) {
        error_ = reason;
        return false;
    }

    bool instrument() {
        const std::optional<Identification>& id = upload_.history.identification;
        QString serial = id ? Text(id->serial) : QString("");
        QSqlQuery query(db_);
        query.prepare(
            "INSERT INTO instruments (serial, model) VALUES (?, ?)"
            " ON CONFLICT (serial) DO NOTHING");
        query.addBindValue(serial);
        query.addBindValue(id ? Text(id->modelName) : QString(""));
        if (!run(query, "instrument"))
            return false;
        query.prepare("SELECT id FROM instruments WHERE serial = ?");
        query.addBindValue(serial);
        if (!run(query, "instrument"))
            return false;
        if (!query.next())
            return failWith("instrument: not found after its insert");
        instrument_ = query.value(0).toLongLong();
        return true;
    }

    bool uploadRow() {
        QSqlQuery query(db_);
        query.prepare(
            "INSERT INTO uploads (uploaded_at, instrument_id, device, frames, new_tests,"
            " unreadable_frames, program_version) VALUES (?, ?, ?, ?, 0, ?, ?)"
            " RETURNING id");
        query.addBindValue(upload_.when.toUTC().toString("yyyy-MM-dd HH:mm:ss"));
        query.addBindValue(instrument_);
        query.addBindValue(upload_.device);
        query.addBindValue(upload_.frames);
        query.addBindValue(static_cast<int>(upload_.history.unreadable.size()));
        query.addBindValue(QString(kVersion));
        if (!run(query, "upload"))
            return false;
        if (!query.next())
            return failWith("upload: no id returned");
        uploadId_ = query.value(0).toLongLong();
        return true;
    }

    bool tests() {
        const std::vector<TestRecord>& records = upload_.history.records;
        QSqlQuery query(db_);
        size_t prepared = 0;
        for (size_t first = 0; first < records.size(); first += rowsPerInsert_) {
            size_t rows = std::min<size_t>(rowsPerInsert_, records.size() - first);
            if (rows != prepared && !query.prepare(TestInsert(static_cast<int>(rows))))
                return failWith("tests: " + query.lastError().text());
            prepared = rows;
            for (size_t k = first; k < first + rows; ++k)
                BindTest(query, instrument_, records[k], uploadId_);
            if (!run(query, "tests"))
                return false;
            newTests_ += query.numRowsAffected();
        }
        return true;
    }

    bool unreadableFrames() {
        QSqlQuery query(db_);
        for (const std::string& body : upload_.history.unreadable) {
            query.prepare("INSERT INTO unreadable_frames (upload_id, body) VALUES (?, ?)");
            query.addBindValue(uploadId_);
            query.addBindValue(QByteArray(body.data(), static_cast<qsizetype>(body.size())));
            if (!run(query, "unreadable frames"))
                return false;
        }
        return true;
    }

    bool newTestCount() {
        QSqlQuery query(db_);
        query.prepare("UPDATE uploads SET new_tests = ? WHERE id = ?");
        query.addBindValue(newTests_);
        query.addBindValue(uploadId_);
        return run(query, "upload");
    }

    QSqlDatabase& db_;
    const ArchivedUpload& upload_;
    size_t rowsPerInsert_;
    qint64 instrument_ = 0;
    qint64 uploadId_ = 0;
    int newTests_ = 0;
    QString error_;
};

}  // namespace

ArchiveResult StoreUpload(const ArchiveLocation& location, const ArchivedUpload& upload) {
    ArchiveConnection connection(location);
    if (!connection.isOpen())
        return {false, 0, connection.error()};
    QSqlDatabase& db = connection.db();
    if (QString failed = MigrateSchema(db, location.engine); !failed.isEmpty())
        return {false, 0, failed};

    bool sqlite = location.engine == ArchiveLocation::Engine::Sqlite;
    QSqlQuery control(db);
    if (!control.exec(sqlite ? "BEGIN IMMEDIATE" : "BEGIN"))
        return {false, 0, control.lastError().text()};
    UploadWriter writer(db, upload, RowsPerInsert(location.engine));
    QString failed = writer.write();
    if (failed.isEmpty() && control.exec("COMMIT"))
        return {true, writer.newTests(), {}};
    if (failed.isEmpty())
        failed = "commit: " + control.lastError().text();
    QSqlQuery(db).exec("ROLLBACK");
    return {false, 0, failed};
}

}  // namespace qm4250
