#pragma once

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "result/result.h"

namespace qm4250 {

// Makes the archive ready to be written: an empty database gets the schema, an older one the
// numbered migrations it lacks, each recorded in schema_version, all in one transaction. A
// database of another program's, or one a newer version made, is refused and left untouched,
// byte for byte. An archive already at this version is only read, without a lock.
Result<void, ArchiveError> MigrateSchema(ArchiveConnection& connection);

// Whether the archive can be read: it must be this program's, at any version; nothing is changed.
// The failure says why it cannot.
Result<void, ArchiveError> CheckReadable(ArchiveConnection& connection);

// Whether the archive, read as it stands, has at least this version of the schema; another
// program's database, or an empty one, is refused as CheckReadable refuses it.
Result<bool, ArchiveError> HasSchema(ArchiveConnection& connection, int version);

// The schema version this program writes.
int LatestSchemaVersion();

// The first schema that keeps tolerance limits.
inline constexpr int kPartLimitsSchema = 3;
// The first schema that keeps frozen control limits and exclusions.
inline constexpr int kFrozenLimitsSchema = 4;
// The first schema that keeps the unit of a PN's leak.
inline constexpr int kLeakUnitSchema = 5;

}  // namespace qm4250
