#include "archive/sqlite_test_insert.h"

#include <sqlite3.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "archive/test_columns.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

// Tests per run of the statement. Each run has a fixed cost (cursors on the table and its five
// indexes, a statement journal) that, paid once a test, was a fifth of the insert.
constexpr size_t kTestsPerStatement = 256;

QString InsertSql(size_t tests) {
    QString row = "(" + QString("?, ").repeated(kTestColumns - 1) + "?)";
    QStringList rows;
    for (size_t i = 0; i < tests; ++i)
        rows << row;
    return QString(
               "INSERT INTO tests (%1) VALUES %2"
               " ON CONFLICT (instrument_id, seq, time_seconds) DO NOTHING")
        .arg(kTestColumnNames, rows.join(", "));
}

}  // namespace

SqliteTestInsert::SqliteTestInsert(sqlite3* handle, qint64 instrument, qint64 upload)
    : handle_(handle), instrument_(instrument), upload_(upload) {
    int variables = sqlite3_limit(handle, SQLITE_LIMIT_VARIABLE_NUMBER, -1);
    many_.tests =
        std::clamp(static_cast<size_t>(variables / kTestColumns), size_t{1}, kTestsPerStatement);
    texts_.resize(many_.tests);
}

SqliteTestInsert::~SqliteTestInsert() {
    sqlite3_finalize(many_.statement);
    sqlite3_finalize(one_.statement);
}

bool SqliteTestInsert::insert(std::span<const TestRecord> tests) {
    while (tests.size() >= many_.tests) {
        if (!run(many_, tests.first(many_.tests)))
            return false;
        tests = tests.subspan(many_.tests);
    }
    for (size_t k = 0; k < tests.size(); ++k) {
        if (!run(one_, tests.subspan(k, 1)))
            return false;
    }
    return true;
}

bool SqliteTestInsert::run(Statement& insert, std::span<const TestRecord> tests) {
    if (!insert.statement &&
        sqlite3_prepare_v2(handle_, InsertSql(insert.tests).toUtf8().constData(), -1,
                           &insert.statement, nullptr) != SQLITE_OK)
        return failed();
    for (size_t k = 0; k < tests.size(); ++k)
        bind(insert.statement, static_cast<int>(k * kTestColumns), tests[k], texts_[k]);
    int stepped = sqlite3_step(insert.statement);
    sqlite3_reset(insert.statement);
    if (stepped != SQLITE_DONE)
        return failed();
    newTests_ += sqlite3_changes(handle_);
    return true;
}

// Binds one test's values to the parameters after `first`.
void SqliteTestInsert::bind(sqlite3_stmt* statement, int first, const TestRecord& test,
                            std::array<std::string, kTextColumns>& texts) {
    auto text = [&](int column, std::string_view bytes, std::string& buffer) {
        ArchiveTextUtf8(bytes, buffer);
        sqlite3_bind_text(statement, first + column, buffer.data(), static_cast<int>(buffer.size()),
                          SQLITE_STATIC);
    };
    sqlite3_bind_int64(statement, first + 1, instrument_);
    text(2, test.seq(), texts[0]);
    text(3, test.pn(), texts[1]);
    text(4, test.custCode(), texts[2]);
    text(5, test.leak(), texts[3]);
    std::optional<double> leak = LeakNumber(test.leak());
    leak ? sqlite3_bind_double(statement, first + 6, *leak)
         : sqlite3_bind_null(statement, first + 6);
    text(7, test.errorCode(), texts[4]);
    sqlite3_bind_int64(statement, first + 8, test.seconds());
    TimeDateText testedAt = FullDateTimeOf(test.seconds());
    sqlite3_bind_text(statement, first + 9, testedAt.chars, testedAt.size, SQLITE_TRANSIENT);
    text(10, test.relayField(), texts[5]);
    sqlite3_bind_int(statement, first + 11, PowerUp(test) ? 1 : 0);
    for (int bit = 2; bit <= 4; ++bit)
        sqlite3_bind_int(statement, first + 10 + bit, RelayOn(test, bit) ? 1 : 0);
    sqlite3_bind_int64(statement, first + 15, upload_);
}

// The result code goes with the message: a busy file is worth trying again, a full disk is not.
bool SqliteTestInsert::failed() {
    error_ =
        QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(handle_)), QSqlError::StatementError,
                  QString::number(sqlite3_extended_errcode(handle_)));
    return false;
}

}  // namespace qm4250
