#pragma once

#include <QtGlobal>
#include <memory>

#include "archive/test_insert.h"

struct sqlite3;

namespace qm4250 {

// Tests into a SQLite archive through SQLite's own interface, as Qt's parameter handling would
// cost more than SQLite itself.
std::unique_ptr<TestInsert> MakeSqliteTestInsert(sqlite3* handle, qint64 instrument, qint64 upload);

}  // namespace qm4250
