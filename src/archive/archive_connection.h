#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

#include "archive/archive_error.h"
#include "archive/archive_location.h"

namespace qm4250 {

// A connection of its own to the archive, closed and let go when it goes.
//
// For writing, a SQLite file that is not there is made private to the user (0600, in folders
// made 0700), and runs in WAL mode waiting up to 5 s for another writer. For reading, nothing is
// created or changed: a read-only file or folder can still be read. PostgreSQL sessions wait
// for a lock and run a statement only as long as the location allows, and keep the server's
// notices off the terminal; a reading session cannot write.
class ArchiveConnection {
  public:
    enum class Access { Read, Write };

    ArchiveConnection(const ArchiveLocation& location, Access access);
    ~ArchiveConnection();
    ArchiveConnection(const ArchiveConnection&) = delete;
    ArchiveConnection& operator=(const ArchiveConnection&) = delete;

    bool isOpen() const { return !error_; }
    // Why it could not be opened.
    const ArchiveError& error() const { return *error_; }
    QSqlDatabase& db() { return db_; }
    const ArchiveLocation& location() const { return location_; }
    // An error of this archive with the engine's words.
    ArchiveError failure(const QSqlError& error) const;

  private:
    void openSqlite(Access access);
    void openPostgres(Access access);
    // Runs each in turn, stopping at the first that fails.
    void apply(const QStringList& settings);
    void fail(ArchiveError::Kind kind, const QString& detail);

    ArchiveLocation location_;
    QSqlDatabase db_;
    std::optional<ArchiveError> error_;
};

}  // namespace qm4250
