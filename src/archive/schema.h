#pragma once

#include <optional>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"

namespace qm4250 {

// Makes the archive ready to be written: an empty database gets the schema, an older one the
// numbered migrations it lacks, each recorded in schema_version, all in one transaction. A
// database of another program's, or one a newer version made, is refused and left untouched.
std::optional<ArchiveError> MigrateSchema(ArchiveConnection& connection);

// Whether the archive can be read: it must be this program's, at any version; nothing is changed.
std::optional<ArchiveError> CheckReadable(ArchiveConnection& connection);

// The schema version this program writes.
int LatestSchemaVersion();

// The first schema that keeps tolerance limits.
inline constexpr int kPartLimitsSchema = 3;

}  // namespace qm4250
