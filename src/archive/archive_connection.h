#pragma once

#include <QSqlDatabase>
#include <QString>

#include "archive/archive_location.h"

namespace qm4250 {

// A connection of its own to the archive, closed and let go when it goes. SQLite files are
// created (with their folder) as needed, in WAL mode, and wait up to 5 s for another writer.
class ArchiveConnection {
  public:
    explicit ArchiveConnection(const ArchiveLocation& location);
    ~ArchiveConnection();
    ArchiveConnection(const ArchiveConnection&) = delete;
    ArchiveConnection& operator=(const ArchiveConnection&) = delete;

    bool isOpen() const { return error_.isEmpty(); }
    // Why it could not be opened.
    const QString& error() const { return error_; }
    QSqlDatabase& db() { return db_; }

  private:
    QSqlDatabase db_;
    QString error_;
};

}  // namespace qm4250
