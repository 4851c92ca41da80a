#pragma once

#include <libpq-fe.h>

#include <QSqlError>
#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/copy_text_rows.h"
#include "archive/test_columns.h"
#include "protocol/history.h"

namespace qm4250 {

// The tests of a write to a PostgreSQL archive, through the connection's own libpq handle: COPY
// into a temporary table of the session as they come, outside any transaction and holding no lock
// on the archive; then one INSERT … SELECT, in the caller's transaction, that passes over the
// tests the archive holds.
class PostgresTestStage {
  public:
    explicit PostgresTestStage(PGconn* connection) : connection_(connection) {}

    // Stages tests of the write's upload number `upload`, counted from 1.
    bool add(int upload, std::span<const TestRecord> tests);
    // Moves every test staged into the archive, upload k's with instruments[k - 1] and
    // uploads[k - 1], in the order of the archive's unique key; of two tests with one key the
    // first staged is kept. The new tests of each upload, or none when the database refused.
    std::optional<std::vector<int>> move(const std::vector<qint64>& instruments,
                                         const std::vector<qint64>& uploads);

    // Why it failed, with the server's SQL state; an error of a lost connection has class 08.
    const QSqlError& error() const { return error_; }

  private:
    bool copy(int upload, std::span<const TestRecord> tests);
    bool execute(const char* sql);
    void addValue(TestColumn column, const TestRecord& test);
    void addText(std::string_view bytes);
    bool send();
    bool succeeded(PGresult* result, ExecStatusType expected);
    bool failed(const char* message, const char* state);

    PGconn* connection_;
    bool created_ = false;
    int64_t arrival_ = 0;
    CopyTextRows rows_;
    std::string utf8_;
    QSqlError error_;
};

}  // namespace qm4250
