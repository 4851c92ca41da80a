#include "archive/postgres_test_insert.h"

#include <QByteArray>
#include <QSqlError>
#include <string>

#include "archive/archive_error.h"
#include "archive/copy_text_rows.h"
#include "archive/test_columns.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

// Made once a session and emptied after each move, so that every upload of a transaction finds it
// empty; whatever a failed insert left in it is rolled back with the rest.
constexpr char kCreateIncoming[] =
    "CREATE TEMPORARY TABLE IF NOT EXISTS qm4250_incoming_tests (seq TEXT, pn TEXT,"
    " cust_code TEXT, leak_text TEXT, leak DOUBLE PRECISION, error_code TEXT,"
    " time_seconds INTEGER, tested_at TEXT, relay_field TEXT, power_up SMALLINT,"
    " relay_gp SMALLINT, relay_bp SMALLINT, relay_ge SMALLINT, arrival BIGSERIAL)";
constexpr char kCopyIncoming[] =
    "COPY qm4250_incoming_tests (seq, pn, cust_code, leak_text, leak, error_code, time_seconds,"
    " tested_at, relay_field, power_up, relay_gp, relay_bp, relay_ge) FROM STDIN";
// TRUNCATE, not DELETE: dead rows would pile up in the table, and be read again, batch after batch.
constexpr char kEmptyIncoming[] = "TRUNCATE qm4250_incoming_tests";
// What COPY is sent in: big enough that the calls cost nothing, small enough to stay in a cache.
constexpr size_t kCopyChunk = 256 * 1024;

// The rows into the archive, $1 the instrument and $2 the upload, in the order they came, so that
// the first of two tests with one key is kept.
const QByteArray& MoveSql() {
    static const QByteArray sql =
        QString(
            "INSERT INTO tests (%1) SELECT $1, seq, pn, cust_code, leak_text, leak, error_code,"
            " time_seconds, tested_at, relay_field, power_up, relay_gp, relay_bp, relay_ge, $2"
            " FROM qm4250_incoming_tests ORDER BY arrival"
            " ON CONFLICT (instrument_id, seq, time_seconds) DO NOTHING")
            .arg(kTestColumnNames)
            .toUtf8();
    return sql;
}

// Frees a libpq result when it goes.
struct Result {
    explicit Result(PGresult* result) : get(result) {}
    ~Result() { PQclear(get); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    PGresult* get;
};

class PostgresTestInsert : public TestInsert {
  public:
    PostgresTestInsert(PGconn* connection, qint64 instrument, qint64 upload)
        : connection_(connection),
          instrument_(QByteArray::number(instrument)),
          upload_(QByteArray::number(upload)) {}

    bool insert(std::span<const TestRecord> tests) override {
        if (tests.empty())
            return true;
        if (!created_) {
            if (!execute(kCreateIncoming))
                return false;
            created_ = true;
        }
        if (!copy(tests))
            return false;
        const char* values[] = {instrument_.constData(), upload_.constData()};
        Result moved(PQexecParams(connection_, MoveSql().constData(), 2, nullptr, values, nullptr,
                                  nullptr, 0));
        if (!succeeded(moved, PGRES_COMMAND_OK))
            return false;
        newTests_ += QByteArray(PQcmdTuples(moved.get)).toInt();
        return execute(kEmptyIncoming);
    }

  private:
    bool copy(std::span<const TestRecord> tests) {
        if (!succeeded(Result(PQexec(connection_, kCopyIncoming)), PGRES_COPY_IN))
            return false;
        rows_.clear();
        for (const TestRecord& test : tests) {
            for (std::string_view text : {test.seq(), test.pn(), test.custCode(), test.leak()})
                addText(text);
            rows_.real(LeakNumber(test.leak()));
            addText(test.errorCode());
            rows_.integer(test.seconds());
            rows_.text(FullDateTimeOf(test.seconds()).view());
            addText(test.relayField());
            rows_.integer(PowerUp(test) ? 1 : 0);
            for (int bit = 2; bit <= 4; ++bit)
                rows_.integer(RelayOn(test, bit) ? 1 : 0);
            rows_.endRow();
            if (rows_.bytes().size() >= kCopyChunk && !send())
                return false;
        }
        if (!rows_.bytes().empty() && !send())
            return false;
        if (PQputCopyEnd(connection_, nullptr) != 1)
            return failed(PQerrorMessage(connection_));
        // The server's verdict on the rows, then nothing more.
        bool copied = succeeded(Result(PQgetResult(connection_)), PGRES_COMMAND_OK);
        while (PGresult* more = PQgetResult(connection_))
            PQclear(more);
        return copied;
    }

    bool execute(const char* sql) {
        return succeeded(Result(PQexec(connection_, sql)), PGRES_COMMAND_OK);
    }

    void addText(std::string_view bytes) {
        ArchiveTextUtf8(bytes, utf8_);
        rows_.text(utf8_);
    }

    bool send() {
        const std::string& bytes = rows_.bytes();
        if (PQputCopyData(connection_, bytes.data(), static_cast<int>(bytes.size())) != 1)
            return failed(PQerrorMessage(connection_));
        rows_.clear();
        return true;
    }

    bool succeeded(const Result& result, ExecStatusType expected) {
        if (result.get && PQresultStatus(result.get) == expected)
            return true;
        return failed(result.get ? PQresultErrorMessage(result.get) : PQerrorMessage(connection_));
    }

    bool failed(const char* message) {
        error_ = OneLine(QSqlError(QString(), QString::fromUtf8(message)));
        return false;
    }

    PGconn* connection_;
    QByteArray instrument_;
    QByteArray upload_;
    bool created_ = false;
    CopyTextRows rows_;
    std::string utf8_;
};

}  // namespace

std::unique_ptr<TestInsert> MakePostgresTestInsert(PGconn* connection, qint64 instrument,
                                                   qint64 upload) {
    return std::make_unique<PostgresTestInsert>(connection, instrument, upload);
}

}  // namespace qm4250
