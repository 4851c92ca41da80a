#include "archive/sqlite_test_insert.h"

#include <sqlite3.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "archive/kept_text.h"
#include "archive/test_columns.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

// Tests per run of the statement. Each run has a fixed cost (cursors on the table and its five
// indexes, a statement journal) that, paid once a test, was a fifth of the insert.
constexpr size_t kTestsPerStatement = 256;

QString InsertSql(size_t tests) {
    constexpr int kColumns = static_cast<int>(kTestColumns.size());
    QString row = "(" + QString("?, ").repeated(kColumns - 1) + "?)";
    QStringList rows;
    for (size_t i = 0; i < tests; ++i)
        rows << row;
    return QString(
               "INSERT INTO tests (%1) VALUES %2"
               " ON CONFLICT (instrument_id, seq, time_seconds) DO NOTHING")
        .arg(TestColumnNames(), rows.join(", "));
}

}  // namespace

SqliteTestInsert::SqliteTestInsert(sqlite3* handle, qint64 instrument, qint64 upload)
    : handle_(handle), instrument_(instrument), upload_(upload) {
    int variables = sqlite3_limit(handle, SQLITE_LIMIT_VARIABLE_NUMBER, -1);
    many_.tests = std::clamp(static_cast<size_t>(variables) / kTestColumns.size(), size_t{1},
                             kTestsPerStatement);
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
        bind(insert.statement, static_cast<int>(k * kTestColumns.size()), tests[k], texts_[k]);
    int stepped = sqlite3_step(insert.statement);
    sqlite3_reset(insert.statement);
    if (stepped != SQLITE_DONE)
        return failed();
    newTests_ += sqlite3_changes(handle_);
    return true;
}

// Binds one test's values to the parameters after `first`, each column's at its place in the
// insert's column list.
void SqliteTestInsert::bind(sqlite3_stmt* statement, int first, const TestRecord& test,
                            std::array<std::string, kTextColumns>& texts) {
    auto at = [first](TestColumn column) { return first + 1 + TestColumnIndex(column); };
    auto text = [&](TestColumn column, std::string_view bytes, std::string& buffer) {
        KeptUtf8OfBytes(bytes, buffer);
        sqlite3_bind_text(statement, at(column), buffer.data(), static_cast<int>(buffer.size()),
                          SQLITE_STATIC);
    };
    auto flag = [&](TestColumn column, bool on) {
        sqlite3_bind_int(statement, at(column), on ? 1 : 0);
    };
    sqlite3_bind_int64(statement, at(TestColumn::InstrumentId), instrument_);
    text(TestColumn::Seq, test.seq(), texts[0]);
    text(TestColumn::Pn, test.pn(), texts[1]);
    text(TestColumn::CustCode, test.custCode(), texts[2]);
    text(TestColumn::LeakText, test.leak(), texts[3]);
    std::optional<double> leak = LeakNumber(test.leak());
    leak ? sqlite3_bind_double(statement, at(TestColumn::Leak), *leak)
         : sqlite3_bind_null(statement, at(TestColumn::Leak));
    text(TestColumn::ErrorCode, test.errorCode(), texts[4]);
    sqlite3_bind_int64(statement, at(TestColumn::TimeSeconds), test.seconds());
    TimeDateText testedAt = FullDateTimeOf(test.seconds());
    sqlite3_bind_text(statement, at(TestColumn::TestedAt), testedAt.chars, testedAt.size,
                      SQLITE_TRANSIENT);
    text(TestColumn::RelayField, test.relayField(), texts[5]);
    flag(TestColumn::PowerUp, PowerUp(test));
    flag(TestColumn::RelayGp, RelayOn(test, 2));
    flag(TestColumn::RelayBp, RelayOn(test, 3));
    flag(TestColumn::RelayGe, RelayOn(test, 4));
    sqlite3_bind_int64(statement, at(TestColumn::FirstUploadId), upload_);
}

// The result code goes with the message: a busy file is worth trying again, a full disk is not.
bool SqliteTestInsert::failed() {
    error_ =
        QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(handle_)), QSqlError::StatementError,
                  QString::number(sqlite3_extended_errcode(handle_)));
    return false;
}

}  // namespace qm4250
