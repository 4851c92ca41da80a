#pragma once

#include <QString>

namespace qm4250 {

// The folder that the settings file's name is appended to. The name is appended without a
// separator, so the file lives beside the executable's folder, in its parent: the executable's
// folder is kept while that parent is writable. Otherwise (the program installed under /usr/bin)
// it is the per-user data folder with a trailing separator, created if missing, so that the file
// lands inside it. Loading and saving both ask this, so they agree.
QString ApplicationFolder(const QString& executableFolder);

}  // namespace qm4250
