#pragma once

#include <QString>

// The folder that the settings file's name is appended to: the executable's folder, unless the
// operator cannot write there (the program installed under /usr/bin), where it is the per-user
// data folder instead, created if missing. Loading and saving both ask this, so they agree.
QString ApplicationFolder(const QString& executableFolder);
