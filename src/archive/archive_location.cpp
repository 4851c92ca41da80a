#include "archive/archive_location.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace qm4250 {

namespace {

constexpr qint64 kMaxConfigBytes = 64 * 1024;

ArchiveLocation SqliteFile(const QString& path) {
    ArchiveLocation location;
    location.path = path;
    return location;
}

bool IsNumber(const QString& text, int min, int max) {
    bool ok = false;
    int value = text.toInt(&ok);
    return ok && value >= min && value <= max && !text.startsWith('+');
}

// Puts one query option in place; false for an option or value this program does not pass on.
bool TakeOption(ArchiveLocation& location, const QString& key, const QString& value) {
    static const QStringList kSslModes{"disable", "allow",     "prefer",
                                       "require", "verify-ca", "verify-full"};
    if (key == "host") {
        location.host = value;
        return !value.isEmpty();
    }
    if (key == "port") {
        location.port = value.toInt();
        return IsNumber(value, 1, 65535);
    }
    if (key == "connect_timeout") {
        location.connectTimeoutS = value.toInt();
        return IsNumber(value, 0, 3600);
    }
    bool passedOn = (key == "sslmode" && kSslModes.contains(value)) ||
                    ((key == "application_name" || key == "passfile") && !value.contains(';'));
    if (passedOn)
        location.options.insert(key, value);
    return passedOn;
}

std::optional<ArchiveLocation> PostgresLocation(const QString& text) {
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.hasFragment())
        return std::nullopt;
    ArchiveLocation location;
    location.engine = ArchiveLocation::Engine::Postgres;
    location.host = url.host(QUrl::FullyDecoded);
    location.port = url.port(5432);
    if (location.port == 0)
        return std::nullopt;
    location.user = url.userName(QUrl::FullyDecoded);
    location.password = url.password(QUrl::FullyDecoded);
    location.database = url.path(QUrl::FullyDecoded).mid(1);
    if (location.database.isEmpty() || location.database.contains('/'))
        return std::nullopt;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (!TakeOption(location, key, value))
            return std::nullopt;
    }
    return location;
}

}  // namespace

QString ArchiveLocation::display() const {
    if (engine == Engine::Sqlite)
        return path;
    QString shown = "postgresql://" + (user.isEmpty() ? "" : user + "@");
    return host.startsWith('/') ? shown + "/" + database + "?host=" + host
                                : shown + host + ":" + QString::number(port) + "/" + database;
}

ArchiveLocation DefaultArchiveLocation() {
    QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/qm4250-upload";
    return SqliteFile(folder + "/archive.sqlite");
}

std::optional<ArchiveLocation> ParseArchiveLocation(const QString& text) {
    static const QRegularExpression kScheme("^[A-Za-z][A-Za-z0-9+.-]*:");
    if (text.startsWith("postgresql://") || text.startsWith("postgres://"))
        return PostgresLocation(text);
    if (text.isEmpty() || kScheme.match(text).hasMatch())
        return std::nullopt;
    return SqliteFile(text);
}

QString ConfiguredArchive(const QString& iniFile) {
    QFile file(iniFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    bool inGeneral = true;
    QString value;
    for (const QString& raw : QString::fromUtf8(file.read(kMaxConfigBytes)).split('\n')) {
        QString line = raw.trimmed();
        if (line.startsWith('['))
            inGeneral = line.compare("[General]", Qt::CaseInsensitive) == 0;
        qsizetype equals = line.indexOf('=');
        if (!inGeneral || equals < 0 || line.left(equals).trimmed() != "archive")
            continue;
        value = line.mid(equals + 1).trimmed();
        // A value in quotes, as QSettings writes one, is the text inside them.
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
    }
    return value;
}

ChosenLocation ChooseArchiveLocation(const QString& given) {
    QString text = given;
    if (text.isEmpty())
        text = qEnvironmentVariable("QM4250_ARCHIVE");
    // The user's own file first, then the system's (/etc/xdg), as XDG orders them: a plant's
    // shared archive is found by every user without a word, and any user may choose another.
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        if (!text.isEmpty())
            break;
        text = ConfiguredArchive(folder + "/qm4250-upload/archive.ini");
    }
    if (text.isEmpty())
        return {DefaultArchiveLocation().path, DefaultArchiveLocation()};
    return {text, ParseArchiveLocation(text)};
}

QString NotALocationText(const QString& text) {
    static const QRegularExpression kPassword("^([A-Za-z][A-Za-z0-9+.-]*://[^/@:]*):[^/@]*@");
    QString shown = QString(text).replace(kPassword, "\\1:***@");
    return "not an archive location: " + shown +
           " (expected postgresql://user@host/database or a file path)";
}

}  // namespace qm4250
