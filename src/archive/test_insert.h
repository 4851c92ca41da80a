#pragma once

#include <QString>
#include <memory>
#include <span>

#include "archive/archive_connection.h"
#include "protocol/history.h"

namespace qm4250 {

// Puts an upload's tests into the archive, inside the caller's transaction. A test the archive
// holds already (same instrument, Seq# and raw time stamp) is passed over.
class TestInsert {
  public:
    virtual ~TestInsert() = default;
    // False when the database refused; error() says why, on one line.
    virtual bool insert(std::span<const TestRecord> tests) = 0;

    int newTests() const { return newTests_; }
    const QString& error() const { return error_; }

  protected:
    int newTests_ = 0;
    QString error_;
};

// The engine's fastest way in, through its own library on the connection's handle: on SQLite
// prepared statements of many tests each, on PostgreSQL COPY. Several may be made one after another
// within one transaction.
std::unique_ptr<TestInsert> MakeTestInsert(ArchiveConnection& connection, qint64 instrument,
                                           qint64 upload);

}  // namespace qm4250
