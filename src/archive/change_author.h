#pragma once

#include <QString>

namespace qm4250 {

// Who makes a change to the archive: the login name (USER, else LOGNAME, an empty one passed
// over), else "unknown".
QString ChangeAuthor();

}  // namespace qm4250
