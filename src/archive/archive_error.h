#pragma once

#include <QSqlError>
#include <QString>

namespace qm4250 {

// Why the archive could not be read or written.
struct ArchiveError {
    enum class Kind {
        Failed,       // the engine said why: the detail
        Missing,      // nothing to read there yet
        NotOurs,      // a database of another program's, left untouched
        NewerSchema,  // made by a newer version of this program, never written
    };
    Kind kind = Kind::Failed;
    QString where;  // the location as shown, never with a password
    QString detail;
    int foundSchema = 0;  // NewerSchema: the archive's version
    // A failure that may pass: the connection lost, the server starting or stopping, a deadlock,
    // a lock waited on too long, a SQLite file busy. The whole write is worth trying again.
    bool passing = false;
};

// One line that names the archive and the cause: "where: cause", "not a QM4250 archive: where",
// "it was made by a newer version (schema 7; this program knows 1)".
QString ArchiveErrorText(const ArchiveError& error);

// The engine's own words on one line, without the driver's wrapping ("Unable to fetch row"), the
// server's "ERROR:" or the lines that quote the statement.
QString OneLine(const QSqlError& error);

// Whether the engine's error may pass if the write is tried again, by its code: SQLite's result
// code, PostgreSQL's SQL state.
bool MayPass(const QSqlError& error, bool sqlite);

}  // namespace qm4250
