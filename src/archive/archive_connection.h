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
// made 0700), and waits up to 5 s for another writer; it is switched to WAL mode only once it is
// known to be an archive or empty (useWriteAheadLog). For reading, nothing is
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
    // An error of this archive with the engine's words, and whether it may pass: by its code, or
    // because the server is gone from the connection.
    ArchiveError failure(const QSqlError& error) const;

    // A SQLite archive, or an empty file about to become one, is written in WAL mode; a new one
    // gets 16 KiB pages. Never run on a database that may be another program's.
    std::optional<ArchiveError> useWriteAheadLog(bool newArchive);

  private:
    void openSqlite(Access access);
    void openPostgres(Access access);
    // Runs each in turn, stopping at the first that fails.
    std::optional<QSqlError> apply(const QStringList& settings);
    void fail(ArchiveError::Kind kind, const QString& detail, bool passing = false);
    bool connectionLost() const;
    bool serverUnavailable() const;

    ArchiveLocation location_;
    QSqlDatabase db_;
    std::optional<ArchiveError> error_;
};

}  // namespace qm4250
