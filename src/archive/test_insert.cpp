#include "archive/test_insert.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <string>

#include "archive/sqlite_test_insert.h"
#include "archive/test_columns.h"

namespace qm4250 {

namespace {

constexpr size_t kPostgresRowsPerInsert = 200;

QString TestInsertSql(size_t rows) {
    QString row = "(" + QString("?, ").repeated(kTestColumns - 1) + "?)";
    QStringList values;
    for (size_t i = 0; i < rows; ++i)
        values << row;
    return QString(
               "INSERT INTO tests (%1) VALUES %2"
               " ON CONFLICT (instrument_id, seq, time_seconds) DO NOTHING")
        .arg(kTestColumnNames, values.join(", "));
}

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
            return MakeSqliteTestInsert(handle, instrument, upload);
    }
    return std::make_unique<BatchedTestInsert>(connection.db(), instrument, upload);
}

}  // namespace qm4250
