#pragma once

#include <QSqlError>
#include <QtGlobal>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "protocol/history.h"

struct sqlite3;
struct sqlite3_stmt;

namespace qm4250 {

// Puts an upload's tests into a SQLite archive, inside the caller's transaction, through SQLite's
// own interface, as Qt's parameter handling would cost more than SQLite itself. A test the archive
// holds already (same instrument, Seq# and raw time stamp) is passed over. Several may be made
// one after another within one transaction.
class SqliteTestInsert {
  public:
    SqliteTestInsert(sqlite3* handle, qint64 instrument, qint64 upload);
    ~SqliteTestInsert();
    SqliteTestInsert(const SqliteTestInsert&) = delete;
    SqliteTestInsert& operator=(const SqliteTestInsert&) = delete;

    // False when the database refused; error() says why, with SQLite's result code.
    bool insert(std::span<const TestRecord> tests);

    int newTests() const { return newTests_; }
    const QSqlError& error() const { return error_; }

  private:
    static constexpr int kTextColumns = 6;
    // A statement for a fixed number of tests, prepared when first needed.
    struct Statement {
        size_t tests = 1;
        sqlite3_stmt* statement = nullptr;
    };

    bool run(Statement& insert, std::span<const TestRecord> tests);
    void bind(sqlite3_stmt* statement, int first, const TestRecord& test,
              std::array<std::string, kTextColumns>& texts);
    bool failed();

    sqlite3* handle_;
    qint64 instrument_;
    qint64 upload_;
    Statement many_;
    Statement one_;
    // Each test's texts as bound: they must live until the statement has run, so SQLite need
    // not copy them.
    std::vector<std::array<std::string, kTextColumns>> texts_;
    int newTests_ = 0;
    QSqlError error_;
};

}  // namespace qm4250
