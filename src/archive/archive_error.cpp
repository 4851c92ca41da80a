#include "archive/archive_error.h"

#include <QRegularExpression>

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

}  // namespace qm4250
