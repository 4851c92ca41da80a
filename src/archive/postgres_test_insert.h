#pragma once

#include <libpq-fe.h>

#include <QtGlobal>
#include <memory>

#include "archive/test_insert.h"

namespace qm4250 {

// Tests into a PostgreSQL archive through the connection's own libpq handle: COPY into a
// temporary table, then one INSERT … SELECT that passes over the tests the archive holds.
std::unique_ptr<TestInsert> MakePostgresTestInsert(PGconn* connection, qint64 instrument,
                                                   qint64 upload);

}  // namespace qm4250
