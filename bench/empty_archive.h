#pragma once

#include "archive/archive_location.h"

// Makes the archive empty for a run: the SQLite file goes; PostgreSQL's tables are emptied, their
// ids starting again from 1, but only after a run of ours: they must be empty at the start.
bool EmptyArchive(const qm4250::ArchiveLocation& location, bool afterARun);
