#pragma once

#include <QString>
#include <variant>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"

namespace qm4250 {

// Who makes a change to the archive, as the change keeps it: the operating system's account of the
// effective user ("alice", or "uid 1234" where the account has no name), never what USER or
// LOGNAME claim, as anyone can set them. On PostgreSQL the session user the server knows the
// writer by follows where it is another name: "alice (postgres user qm_writer)". A SQLite
// connection is not asked, open or not; a PostgreSQL one that cannot say gives its error.
std::variant<QString, ArchiveError> ChangeAuthor(ArchiveConnection& connection);

// A change's own text as the archive keeps it, the same on either engine: never null, as its
// columns are NOT NULL, and U+0000, which PostgreSQL's text cannot hold, as U+2400, the symbol
// for it (as in the tests' texts).
QString KeptText(const QString& text);
std::vector<QString> KeptTexts(const std::vector<QString>& texts);

}  // namespace qm4250
