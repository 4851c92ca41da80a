#include "archive/archive_location.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace qm4250 {

namespace {

ArchiveLocation SqliteFile(const QString& path) {
    ArchiveLocation location;
    location.path = path;
    return location;
}

}  // namespace

QString ArchiveLocation::display() const {
    if (engine == Engine::Sqlite)
        return path;
    QString hostText = host.startsWith('/') ? "?host=" + host : host + ":" + QString::number(port);
    QString shown = "postgresql://" + (user.isEmpty() ? "" : user + "@");
    return host.startsWith('/') ? shown + "/" + database + hostText
                                : shown + hostText + "/" + database;
}

ArchiveLocation DefaultArchiveLocation() {
    QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/qm4250-upload";
    return SqliteFile(folder + "/archive.sqlite");
}

std::optional<ArchiveLocation> ParseArchiveLocation(const QString& url) {
    if (url.startsWith("postgresql://") || url.startsWith("postgres://")) {
        QUrl parsed(url);
        if (!parsed.isValid())
            return std::nullopt;
        ArchiveLocation location;
        location.engine = ArchiveLocation::Engine::Postgres;
        location.host = parsed.host();
        location.port = parsed.port(5432);
        location.user = parsed.userName();
        location.password = parsed.password();
        location.database = parsed.path().mid(1);
        QString socketFolder = QUrlQuery(parsed).queryItemValue("host", QUrl::FullyDecoded);
        if (!socketFolder.isEmpty())
            location.host = socketFolder;
        if (location.database.isEmpty())
            return std::nullopt;
        return location;
    }
    if (url.startsWith("sqlite://"))
        return SqliteFile(QUrl(url).path());
    if (url.isEmpty() || url.contains("://"))
        return std::nullopt;
    return SqliteFile(url);
}

std::optional<ArchiveLocation> ChooseArchiveLocation(const QString& given) {
    if (!given.isEmpty())
        return ParseArchiveLocation(given);
    if (QString fromEnvironment = qEnvironmentVariable("QM4250_ARCHIVE");
        !fromEnvironment.isEmpty())
        return ParseArchiveLocation(fromEnvironment);
    QString configFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/qm4250-upload/archive.ini";
    QString configured = QSettings(configFile, QSettings::IniFormat).value("archive").toString();
    if (!configured.isEmpty())
        return ParseArchiveLocation(configured);
    return DefaultArchiveLocation();
}

}  // namespace qm4250
