#include "app/application_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ApplicationFolder(const QString& executableFolder) {
    if (QFileInfo(executableFolder).isWritable())
        return executableFolder;
    QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(userData);
    return userData;
}
