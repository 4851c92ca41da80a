#pragma once

#include <QString>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "result/result.h"

namespace qm4250 {

// Who makes a change to the archive, as the change keeps it: the operating system's account of the
// effective user ("alice", or "uid 1234" where the account has no name), never what USER or
// LOGNAME claim, as anyone can set them. On PostgreSQL the session user the server knows the
// writer by follows where it is another name: "alice (postgres user qm_writer)". A SQLite
// connection is not asked, open or not; a PostgreSQL one that cannot say gives its error.
Result<QString, ArchiveError> ChangeAuthor(ArchiveConnection& connection);

}  // namespace qm4250
