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
};

// One line that names the archive and the cause: "where: cause", "not a QM4250 archive: where",
// "it was made by a newer version (schema 7; this program knows 1)".
QString ArchiveErrorText(const ArchiveError& error);

// The engine's own words on one line, without the driver's wrapping ("Unable to fetch row"), the
// server's "ERROR:" or the lines that quote the statement.
QString OneLine(const QSqlError& error);

}  // namespace qm4250
