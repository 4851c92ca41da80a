#include "archive/archive_error.h"

#include <QRegularExpression>
#include <QStringList>

#include "archive/schema.h"

namespace qm4250 {

QString ArchiveErrorText(const ArchiveError& error) {
    switch (error.kind) {
        case ArchiveError::Kind::Missing:
            return "no archive at " + error.where;
        case ArchiveError::Kind::NotOurs:
            return "not a QM4250 archive: " + error.where;
        case ArchiveError::Kind::NewerSchema:
            return QString("it was made by a newer version (schema %1; this program knows %2)")
                .arg(error.foundSchema)
                .arg(LatestSchemaVersion());
        case ArchiveError::Kind::Failed:
            break;
    }
    return error.where + ": " + error.detail;
}

// The server's first line is its message; the lines after it quote the statement, point into it
// and give the SQL state, which say nothing more to an operator.
QString OneLine(const QSqlError& error) {
    static const QRegularExpression kSeverity("^(ERROR|FATAL|PANIC):\\s*");
    QString text =
        error.databaseText().trimmed().isEmpty() ? error.driverText() : error.databaseText();
    for (QString line : text.split('\n', Qt::SkipEmptyParts)) {
        line = line.trimmed().remove(kSeverity);
        if (!line.isEmpty())
            return line;
    }
    return "unknown error";
}

// SQLite's BUSY and LOCKED, whatever extended code the driver gives; PostgreSQL's connection
// exceptions, a serialization failure or deadlock, a lock not available in time, the server shut
// down or starting, and too many clients. A full disk, a denied permission or a schema error stay.
bool MayPass(const QSqlError& error, bool sqlite) {
    QString code = error.nativeErrorCode();
    if (sqlite) {
        bool number = false;
        int primary = code.toInt(&number) & 0xff;
        return number && (primary == 5 || primary == 6);
    }
    static const QStringList kPassing{"40001", "40P01", "55P03", "57P01",
                                      "57P02", "57P03", "53300"};
    return code.startsWith("08") || kPassing.contains(code);
}

}  // namespace qm4250
