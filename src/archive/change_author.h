#pragma once

#include <QString>
#include <vector>

namespace qm4250 {

// Who makes a change to the archive: the login name (USER, else LOGNAME, an empty one passed
// over), else "unknown".
QString ChangeAuthor();

// A change's own text as the archive keeps it, the same on either engine: never null, as its
// columns are NOT NULL, and U+0000, which PostgreSQL's text cannot hold, as U+2400, the symbol
// for it (as in the tests' texts).
QString KeptText(const QString& text);
std::vector<QString> KeptTexts(const std::vector<QString>& texts);

}  // namespace qm4250
