#include "window/application_folder.h"

#include <unistd.h>

#include <QDir>
#include <QStandardPaths>

#include "window/settings_file.h"

namespace qm4250 {

namespace {

// The folder a file of this path is created in: everything up to its last separator.
QString FolderHolding(const QString& path) {
    qsizetype separator = path.lastIndexOf('/');
    if (separator < 0)
        return ".";
    return separator == 0 ? "/" : path.left(separator);
}

// access() asks the kernel, which knows about root, read-only mounts and the folder's owner.
bool MayCreateFilesIn(const QString& folder) {
    return access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

}  // namespace

QString ApplicationFolder(const QString& executableFolder) {
    QString settingsPath = QString::fromStdString(SettingsPath(executableFolder.toStdString()));
    if (MayCreateFilesIn(FolderHolding(settingsPath)))
        return executableFolder;
    QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(userData);
    return userData + '/';
}

}  // namespace qm4250
