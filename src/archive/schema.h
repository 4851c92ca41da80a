#pragma once

#include <QSqlDatabase>
#include <QString>

#include "archive/archive_location.h"

namespace qm4250 {

// Brings the archive's schema up to date with the numbered migrations, each recorded in
// schema_version once applied, inside one transaction. Empty on success, else why not.
QString MigrateSchema(QSqlDatabase& db, ArchiveLocation::Engine engine);

// The schema version this program writes.
int LatestSchemaVersion();

}  // namespace qm4250
