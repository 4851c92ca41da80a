#include "archive/postgres_test_stage.h"

#include <QByteArray>
#include <QStringList>
#include <map>

#include "archive/kept_text.h"
#include "archive/test_columns.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

// The columns each test's row brings: all but those of the upload it is moved with.
bool Staged(TestColumn column) {
    return column != TestColumn::InstrumentId && column != TestColumn::FirstUploadId;
}

// The staged columns' names, each after `prefix`, or with its type.
QString StagedColumns(const QString& prefix, bool typed) {
    QStringList columns;
    for (const TestColumnDefinition& definition : kTestColumns) {
        if (Staged(definition.column))
            columns << prefix + definition.name +
                           (typed ? QString(" ") + definition.postgresType : QString());
    }
    return columns.join(", ");
}

// The order of arrival is counted here rather than by a sequence, which would be one more object
// in the catalog for every session of every writer.
const QByteArray& CreateIncomingSql() {
    static const QByteArray sql = QString(
                                      "CREATE TEMPORARY TABLE IF NOT EXISTS"
                                      " qm4250_incoming_tests (upload INTEGER, arrival BIGINT,"
                                      " %1)")
                                      .arg(StagedColumns("", true))
                                      .toUtf8();
    return sql;
}

const QByteArray& CopyIncomingSql() {
    static const QByteArray sql =
        QString("COPY qm4250_incoming_tests (upload, arrival, %1) FROM STDIN")
            .arg(StagedColumns("", false))
            .toUtf8();
    return sql;
}

// What COPY is sent in: big enough that the calls cost nothing, small enough to stay in a cache.
constexpr size_t kCopyChunk = 256 * 1024;

// Each column of `tests` as the move selects it: the upload's from `u`, the test's from `s`.
QString MovedColumns() {
    QStringList columns;
    for (const TestColumnDefinition& definition : kTestColumns) {
        if (definition.column == TestColumn::InstrumentId)
            columns << "u.instrument_id";
        else if (definition.column == TestColumn::FirstUploadId)
            columns << "u.upload_id";
        else
            columns << QString("s.") + definition.name;
    }
    return columns.join(", ");
}

// $1 the instruments and $2 the uploads, by upload number. Sorted by the unique key, the rows meet
// those of any other writer in one order: two writers of the same tests never wait on each other
// in a cycle, and the index is written in order. The counts come back by upload.
const QByteArray& MoveSql() {
    static const QByteArray sql =
        QString(
            "WITH moved AS (INSERT INTO tests (%1)"
            " SELECT DISTINCT ON (u.instrument_id, s.seq, s.time_seconds) %2"
            " FROM qm4250_incoming_tests s JOIN unnest($1::BIGINT[], $2::BIGINT[])"
            " WITH ORDINALITY AS u (instrument_id, upload_id, upload) USING (upload)"
            " ORDER BY u.instrument_id, s.seq, s.time_seconds, s.arrival"
            " ON CONFLICT (instrument_id, seq, time_seconds) DO NOTHING"
            " RETURNING first_upload_id)"
            " SELECT first_upload_id, COUNT(*) FROM moved GROUP BY first_upload_id")
            .arg(TestColumnNames(), MovedColumns())
            .toUtf8();
    return sql;
}

QByteArray ArrayText(const std::vector<qint64>& values) {
    QStringList numbers;
    for (qint64 value : values)
        numbers << QString::number(value);
    return ("{" + numbers.join(',') + "}").toUtf8();
}

// Frees a libpq result when it goes.
struct Result {
    explicit Result(PGresult* result) : get(result) {}
    ~Result() { PQclear(get); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    PGresult* get;
};

}  // namespace

bool PostgresTestStage::add(int upload, std::span<const TestRecord> tests) {
    if (tests.empty())
        return true;
    if (!created_) {
        if (!execute(CreateIncomingSql().constData()))
            return false;
        created_ = true;
    }
    return copy(upload, tests);
}

std::optional<std::vector<int>> PostgresTestStage::move(const std::vector<qint64>& instruments,
                                                        const std::vector<qint64>& uploads) {
    std::vector<int> newTests(uploads.size(), 0);
    if (!created_)
        return newTests;
    QByteArray instrumentArray = ArrayText(instruments), uploadArray = ArrayText(uploads);
    const char* values[] = {instrumentArray.constData(), uploadArray.constData()};
    Result moved(
        PQexecParams(connection_, MoveSql().constData(), 2, nullptr, values, nullptr, nullptr, 0));
    if (!succeeded(moved.get, PGRES_TUPLES_OK))
        return std::nullopt;
    std::map<qint64, int> counted;
    for (int row = 0; row < PQntuples(moved.get); ++row)
        counted[QByteArray(PQgetvalue(moved.get, row, 0)).toLongLong()] =
            QByteArray(PQgetvalue(moved.get, row, 1)).toInt();
    for (size_t k = 0; k < uploads.size(); ++k)
        newTests[k] = counted[uploads[k]];
    return newTests;
}

bool PostgresTestStage::copy(int upload, std::span<const TestRecord> tests) {
    if (!succeeded(Result(PQexec(connection_, CopyIncomingSql().constData())).get, PGRES_COPY_IN))
        return false;
    rows_.clear();
    for (const TestRecord& test : tests) {
        rows_.integer(upload);
        rows_.integer(arrival_++);
        for (const TestColumnDefinition& definition : kTestColumns)
            addValue(definition.column, test);
        rows_.endRow();
        if (rows_.bytes().size() >= kCopyChunk && !send())
            return false;
    }
    if (!rows_.bytes().empty() && !send())
        return false;
    if (PQputCopyEnd(connection_, nullptr) != 1)
        return failed(PQerrorMessage(connection_), nullptr);
    // The server's verdict on the rows, then nothing more.
    Result verdict(PQgetResult(connection_));
    bool copied = succeeded(verdict.get, PGRES_COMMAND_OK);
    while (PGresult* more = PQgetResult(connection_))
        PQclear(more);
    return copied;
}

bool PostgresTestStage::execute(const char* sql) {
    return succeeded(Result(PQexec(connection_, sql)).get, PGRES_COMMAND_OK);
}

// In the order of the COPY's columns, kTestColumns' own.
void PostgresTestStage::addValue(TestColumn column, const TestRecord& test) {
    switch (column) {
        case TestColumn::InstrumentId:
        case TestColumn::FirstUploadId:
            return;  // the upload's, given when the tests are moved
        case TestColumn::Seq:
            return addText(test.seq());
        case TestColumn::Pn:
            return addText(test.pn());
        case TestColumn::CustCode:
            return addText(test.custCode());
        case TestColumn::LeakText:
            return addText(test.leak());
        case TestColumn::Leak:
            return rows_.real(LeakNumber(test.leak()));
        case TestColumn::ErrorCode:
            return addText(test.errorCode());
        case TestColumn::TimeSeconds:
            return rows_.integer(test.seconds());
        case TestColumn::TestedAt:
            return rows_.text(FullDateTimeOf(test.seconds()).view());
        case TestColumn::RelayField:
            return addText(test.relayField());
        case TestColumn::PowerUp:
            return rows_.integer(PowerUp(test) ? 1 : 0);
        case TestColumn::RelayGp:
            return rows_.integer(RelayOn(test, 2) ? 1 : 0);
        case TestColumn::RelayBp:
            return rows_.integer(RelayOn(test, 3) ? 1 : 0);
        case TestColumn::RelayGe:
            return rows_.integer(RelayOn(test, 4) ? 1 : 0);
    }
}

void PostgresTestStage::addText(std::string_view bytes) {
    KeptUtf8OfBytes(bytes, utf8_);
    rows_.text(utf8_);
}

bool PostgresTestStage::send() {
    const std::string& bytes = rows_.bytes();
    if (PQputCopyData(connection_, bytes.data(), static_cast<int>(bytes.size())) != 1)
        return failed(PQerrorMessage(connection_), nullptr);
    rows_.clear();
    return true;
}

bool PostgresTestStage::succeeded(PGresult* result, ExecStatusType expected) {
    if (result && PQresultStatus(result) == expected)
        return true;
    return result
               ? failed(PQresultErrorMessage(result), PQresultErrorField(result, PG_DIAG_SQLSTATE))
               : failed(PQerrorMessage(connection_), nullptr);
}

// A connection gone bad is given the SQL state of a lost connection, as the server could not say.
bool PostgresTestStage::failed(const char* message, const char* state) {
    QString code = state ? QString::fromLatin1(state) : QString();
    if (code.isEmpty() && PQstatus(connection_) == CONNECTION_BAD)
        code = "08006";
    error_ = QSqlError(QString(), QString::fromUtf8(message), QSqlError::StatementError, code);
    return false;
}

}  // namespace qm4250
