#include "archive/test_insert.h"

#include <sqlite3.h>

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <string>

#include "archive/test_columns.h"

namespace qm4250 {

namespace {

constexpr int kTestColumns = 15;
constexpr size_t kPostgresRowsPerInsert = 200;

QString TestInsertSql(size_t rows) {
    QString row = "(" + QString("?, ").repeated(kTestColumns - 1) + "?)";
    QStringList values;
    for (size_t i = 0; i < rows; ++i)
        values << row;
    return "INSERT INTO tests (instrument_id, seq, pn, cust_code, leak_text, leak, error_code,"
           " time_seconds, tested_at, relay_field, power_up, relay_gp, relay_bp, relay_ge,"
           " first_upload_id) VALUES " +
           values.join(", ") + " ON CONFLICT (instrument_id, seq, time_seconds) DO NOTHING";
}

class SqliteTestInsert : public TestInsert {
  public:
    SqliteTestInsert(sqlite3* handle, qint64 instrument, qint64 upload)
        : handle_(handle), instrument_(instrument), upload_(upload) {}
    ~SqliteTestInsert() override { sqlite3_finalize(statement_); }

    bool insert(std::span<const TestRecord> tests) override {
        if (!statement_ && sqlite3_prepare_v2(handle_, TestInsertSql(1).toUtf8().constData(), -1,
                                              &statement_, nullptr) != SQLITE_OK)
            return failed();
        for (const TestRecord& test : tests) {
            bind(test);
            int stepped = sqlite3_step(statement_);
            sqlite3_reset(statement_);
            if (stepped != SQLITE_DONE)
                return failed();
            newTests_ += sqlite3_changes(handle_);
        }
        return true;
    }

  private:
    void bind(const TestRecord& test) {
        std::string_view texts[] = {test.seq(), test.pn(), test.custCode(), test.leak()};
        sqlite3_bind_int64(statement_, 1, instrument_);
        for (int k = 0; k < 4; ++k)
            bindText(2 + k, texts[k], buffers_[k]);
        std::optional<double> leak = LeakNumber(test.leak());
        leak ? sqlite3_bind_double(statement_, 6, *leak) : sqlite3_bind_null(statement_, 6);
        bindText(7, test.errorCode(), buffers_[4]);
        sqlite3_bind_int64(statement_, 8, test.seconds());
        TestedAtText testedAt(test.seconds());
        sqlite3_bind_text(statement_, 9, testedAt.text, -1, SQLITE_TRANSIENT);
        bindText(10, test.relayField(), buffers_[5]);
        sqlite3_bind_int(statement_, 11, PowerUp(test) ? 1 : 0);
        for (int bit = 2; bit <= 4; ++bit)
            sqlite3_bind_int(statement_, 10 + bit, RelayOn(test, bit) ? 1 : 0);
        sqlite3_bind_int64(statement_, 15, upload_);
    }

    // The buffer lives until the statement is run again, so SQLite need not copy the text.
    void bindText(int column, std::string_view bytes, std::string& buffer) {
        ArchiveTextUtf8(bytes, buffer);
        sqlite3_bind_text(statement_, column, buffer.data(), static_cast<int>(buffer.size()),
                          SQLITE_STATIC);
    }

    bool failed() {
        error_ = QString::fromUtf8(sqlite3_errmsg(handle_));
        return false;
    }

    sqlite3* handle_;
    qint64 instrument_;
    qint64 upload_;
    sqlite3_stmt* statement_ = nullptr;
    std::string buffers_[6];
};

class BatchedTestInsert : public TestInsert {
  public:
    BatchedTestInsert(QSqlDatabase& db, qint64 instrument, qint64 upload)
        : query_(db), instrument_(instrument), upload_(upload) {}

    bool insert(std::span<const TestRecord> tests) override {
        for (size_t first = 0; first < tests.size(); first += kPostgresRowsPerInsert) {
            std::span<const TestRecord> batch =
                tests.subspan(first, std::min(kPostgresRowsPerInsert, tests.size() - first));
            if (batch.size() != prepared_ && !query_.prepare(TestInsertSql(batch.size())))
                return failed();
            prepared_ = batch.size();
            for (const TestRecord& test : batch)
                bind(test);
            if (!query_.exec())
                return failed();
            newTests_ += query_.numRowsAffected();
        }
        return true;
    }

  private:
    void bind(const TestRecord& test) {
        query_.addBindValue(instrument_);
        for (std::string_view text : {test.seq(), test.pn(), test.custCode(), test.leak()})
            query_.addBindValue(ArchiveText(text));
        std::optional<double> leak = LeakNumber(test.leak());
        query_.addBindValue(leak ? QVariant(*leak) : QVariant(QMetaType(QMetaType::Double)));
        query_.addBindValue(ArchiveText(test.errorCode()));
        query_.addBindValue(test.seconds());
        query_.addBindValue(QString::fromLatin1(TestedAtText(test.seconds()).text));
        query_.addBindValue(ArchiveText(test.relayField()));
        query_.addBindValue(PowerUp(test) ? 1 : 0);
        for (int bit = 2; bit <= 4; ++bit)
            query_.addBindValue(RelayOn(test, bit) ? 1 : 0);
        query_.addBindValue(upload_);
    }

    bool failed() {
        error_ = OneLine(query_.lastError());
        return false;
    }

    QSqlQuery query_;
    qint64 instrument_;
    qint64 upload_;
    size_t prepared_ = 0;
};

sqlite3* SqliteHandle(QSqlDatabase& db) {
    QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

}  // namespace

std::unique_ptr<TestInsert> MakeTestInsert(ArchiveConnection& connection, qint64 instrument,
                                           qint64 upload) {
    if (connection.location().engine == ArchiveLocation::Engine::Sqlite) {
        if (sqlite3* handle = SqliteHandle(connection.db()))
            return std::make_unique<SqliteTestInsert>(handle, instrument, upload);
    }
    return std::make_unique<BatchedTestInsert>(connection.db(), instrument, upload);
}

}  // namespace qm4250
