#include "archive/archive_connection.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <libpq-fe.h>

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "archive/native_handle.h"

namespace qm4250 {

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kBusyRetryMs = 10;

QString UniqueConnectionName() {
    static QAtomicInt next;
    return QString("qm4250-archive-%1").arg(next.fetchAndAddRelaxed(1));
}

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The folders up to `folder` that are not there, each made private to the user whatever the
// umask; folders already there are left as they are.
bool MakePrivateFolders(const QByteArray& folder) {
    std::vector<QByteArray> missing;
    struct stat status;
    for (QByteArray at = folder; !at.isEmpty() && stat(at.constData(), &status) != 0;
         at = at.left(std::max<qsizetype>(at.lastIndexOf('/'), 0)))
        missing.push_back(at);
    for (auto made = missing.rbegin(); made != missing.rend(); ++made) {
        if (mkdir(made->constData(), 0700) != 0 || chmod(made->constData(), 0700) != 0)
            return false;
    }
    return true;
}

// A folder that is setgid and writable by its group is shared by that group (the plant's
// archive folder): what is made in it keeps the group, and is the group's to write.
bool SharedWithGroup(const QByteArray& folder) {
    struct stat status;
    return stat(folder.constData(), &status) == 0 && (status.st_mode & S_ISGID) &&
           (status.st_mode & S_IWGRP);
}

// An empty file is an empty SQLite database; making it here gives it its mode, which SQLite
// passes on to its -wal and -shm files: private to the user, or the group's in a shared folder.
bool MakeArchiveFile(const QString& path) {
    QByteArray name = QFile::encodeName(path);
    QByteArray absolute = QFile::encodeName(QFileInfo(path).absolutePath());
    if (!MakePrivateFolders(absolute))
        return false;
    mode_t mode = SharedWithGroup(absolute) ? 0660 : 0600;
    int fd = open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return errno == EEXIST;
    bool made = fchmod(fd, mode) == 0;
    close(fd);
    return made;
}

// "permission denied: <path> belongs to qm4250-collect, group qm4250, mode 0660".
QString PermissionDenied(const QByteArray& path) {
    struct stat status;
    QString owner = "?", group = "?";
    mode_t mode = 0;
    if (stat(path.constData(), &status) == 0) {
        const passwd* user = getpwuid(status.st_uid);
        const struct group* named = getgrgid(status.st_gid);
        owner = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(status.st_uid);
        group = named ? QString::fromLocal8Bit(named->gr_name) : QString::number(status.st_gid);
        mode = status.st_mode & 07777;
    }
    return QString("permission denied: %1 belongs to %2, group %3, mode %4")
        .arg(QFile::decodeName(path), owner, group)
        .arg(mode, 4, 8, QChar('0'));
}

// What keeps this user from the file, where something does: a folder on its way they may not
// enter, the file they may not read (or write), or the folder they may not write in. A writer
// needs the folder as well as the file: SQLite makes its -wal, -shm and journal files there.
std::optional<QString> DeniedAccess(const QString& path, bool writing) {
    QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    QByteArray folder = name.left(std::max<qsizetype>(name.lastIndexOf('/'), 1));
    QByteArray there = folder;  // the deepest folder on the way that is there
    while (there.size() > 1 && access(there.constData(), F_OK) != 0 && errno == ENOENT)
        there = there.left(std::max<qsizetype>(there.lastIndexOf('/'), 1));
    for (qsizetype end = 1; end > 0;) {
        end = there.indexOf('/', end + 1);
        QByteArray on = end < 0 ? there : there.left(end);
        if (access(on.constData(), X_OK) != 0 && errno == EACCES)
            return PermissionDenied(on);
    }
    if (access(name.constData(), F_OK) == 0) {
        if (access(name.constData(), writing ? R_OK | W_OK : R_OK) != 0 && errno == EACCES)
            return PermissionDenied(name);
    }
    QByteArray wal = name + "-wal";
    if (writing && access(there.constData(), W_OK) != 0 && errno == EACCES &&
        access(wal.constData(), W_OK) != 0)
        return PermissionDenied(there);
    return std::nullopt;
}

// A reader that may not write the file or its folder cannot make the -shm file WAL mode needs;
// it reads the file as it stands, which is all such a reader can see anyway. Not while a writer
// may be at work, which the -wal and -shm files beside it say: SQLite reads those without
// writing them, where a file read as it stands could change under the reader.
bool MustReadAsItStands(const QString& path) {
    QByteArray name = QFile::encodeName(path);
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    QByteArray wal = name + "-wal", shm = name + "-shm";
    bool writerBeside = access(wal.constData(), R_OK) == 0 && access(shm.constData(), R_OK) == 0;
    return !writerBeside &&
           (access(name.constData(), W_OK) != 0 || access(folder.constData(), W_OK | X_OK) != 0);
}

QString QuotedOption(const QString& key, QString value) {
    return key + "='" + value.replace("\\", "\\\\").replace("'", "\\'") + "'";
}

}  // namespace

ArchiveConnection::ArchiveConnection(const ArchiveLocation& location, Access access)
    : location_(location) {
    bool sqlite = location.engine == ArchiveLocation::Engine::Sqlite;
    QString driver = sqlite ? "QSQLITE" : "QPSQL";
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        fail(ArchiveError::Kind::Failed, "the Qt SQL driver " + driver + " is not installed");
        return;
    }
    db_ = QSqlDatabase::addDatabase(driver, UniqueConnectionName());
    if (sqlite)
        openSqlite(access);
    else
        openPostgres(access);
}

ArchiveConnection::~ArchiveConnection() {
    QString name = db_.connectionName();
    db_.close();
    db_ = QSqlDatabase();
    if (!name.isEmpty())
        QSqlDatabase::removeDatabase(name);
}

ArchiveError ArchiveConnection::failure(const QSqlError& error) const {
    bool sqlite = location_.engine == ArchiveLocation::Engine::Sqlite;
    ArchiveError failed{ArchiveError::Kind::Failed, location_.display(), OneLine(error)};
    failed.passing = MayPass(error, sqlite) || (!sqlite && connectionLost());
    return failed;
}

std::optional<ArchiveError> ArchiveConnection::useWriteAheadLog(bool newArchive) {
    QStringList settings;
    // Commits stay synchronous: an upload reported as archived must outlive a power cut. A new
    // archive gets 16 KiB pages, as its tests table and four indexes grow to millions of rows: a
    // million-test import takes 8.3 s instead of 8.9 (an existing archive keeps its pages).
    if (newArchive)
        settings << "PRAGMA page_size=16384";
    settings << "PRAGMA journal_mode=WAL";
    if (std::optional<QSqlError> refused = apply(settings))
        return failure(*refused);
    return std::nullopt;
}

void ArchiveConnection::openSqlite(Access access) {
    const QString& path = location_.path;
    QString options = QString("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (std::optional<QString> denied = DeniedAccess(path, access == Access::Write)) {
        fail(ArchiveError::Kind::Failed, *denied);
        return;
    }
    if (access == Access::Write) {
        if (!MakeArchiveFile(path)) {
            fail(ArchiveError::Kind::Failed, SystemError());
            return;
        }
        db_.setDatabaseName(path);
    } else if (!QFileInfo(path).isFile()) {
        fail(ArchiveError::Kind::Missing, {});
        return;
    } else if (MustReadAsItStands(path)) {
        options += ";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI";
        db_.setDatabaseName(
            QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
            "?immutable=1");
    } else {
        options += ";QSQLITE_OPEN_READONLY";
        db_.setDatabaseName(path);
    }
    db_.setConnectOptions(options);
    if (!db_.open()) {
        fail(ArchiveError::Kind::Failed, OneLine(db_.lastError()));
        return;
    }
    // Settings of this connection only: nothing in the file changes. A long import keeps its
    // indexes' pages at hand instead of rereading them.
    QStringList settings{"PRAGMA foreign_keys=ON"};
    if (access == Access::Write)
        settings << "PRAGMA cache_size=-65536";
    if (std::optional<QSqlError> refused = apply(settings))
        fail(ArchiveError::Kind::Failed, OneLine(*refused), MayPass(*refused, true));
}

void ArchiveConnection::openPostgres(Access access) {
    db_.setHostName(location_.host);
    db_.setPort(location_.port);
    db_.setUserName(location_.user);
    db_.setPassword(location_.password);
    db_.setDatabaseName(location_.database);
    QStringList options{QString("connect_timeout=%1").arg(location_.connectTimeoutS)};
    for (auto option = location_.options.cbegin(); option != location_.options.cend(); ++option)
        options << QuotedOption(option.key(), option.value());
    db_.setConnectOptions(options.join(';'));
    if (!db_.open()) {
        fail(ArchiveError::Kind::Failed, OneLine(db_.lastError()), serverUnavailable());
        return;
    }
    QStringList settings{QString("SET lock_timeout = %1").arg(location_.lockTimeoutMs),
                         QString("SET statement_timeout = %1").arg(location_.statementTimeoutMs),
                         "SET client_min_messages = warning"};
    if (access == Access::Read)
        settings << "SET default_transaction_read_only = on";
    if (std::optional<QSqlError> refused = apply(settings)) {
        ArchiveError failed = failure(*refused);
        fail(failed.kind, failed.detail, failed.passing);
    }
}

std::optional<QSqlError> ArchiveConnection::apply(const QStringList& settings) {
    QSqlQuery query(db_);
    QDeadlineTimer patience(kBusyTimeoutMs);
    for (const QString& setting : settings) {
        while (!query.exec(setting)) {
            // Two writers that meet a new SQLite archive at once both switch it to WAL mode, and
            // SQLite refuses one of them as busy at once, rather than let each wait for the other:
            // that one tries again, for as long as it would wait for a lock.
            bool busy = location_.engine == ArchiveLocation::Engine::Sqlite &&
                        query.lastError().nativeErrorCode() == "5";  // SQLITE_BUSY
            if (!busy || patience.hasExpired())
                return query.lastError();
            QThread::msleep(kBusyRetryMs);
        }
    }
    return std::nullopt;
}

void ArchiveConnection::fail(ArchiveError::Kind kind, const QString& detail, bool passing) {
    error_ = ArchiveError{kind, location_.display(), detail};
    error_->passing = passing;
}

// The server ended the session (restarted, shut down, the network gone): a new one may find it.
bool ArchiveConnection::connectionLost() const {
    PGconn* handle = NativeHandle<PGconn>(db_, {"pg_conn*", "PGconn*"});
    return handle && PQstatus(handle) == CONNECTION_BAD;
}

// Whether the server did not answer, or answered that it takes no connections yet (starting up,
// shutting down, in recovery), rather than refuse this user or database, which does not pass.
bool ArchiveConnection::serverUnavailable() const {
    QByteArray host = location_.host.toUtf8(), port = QByteArray::number(location_.port),
               database = location_.database.toUtf8(), user = location_.user.toUtf8(),
               timeout = QByteArray::number(location_.connectTimeoutS);
    std::vector<QByteArray> keys{"host", "port", "dbname", "user", "connect_timeout"};
    std::vector<QByteArray> values{host, port, database, user, timeout};
    for (auto option = location_.options.cbegin(); option != location_.options.cend(); ++option) {
        keys.push_back(option.key().toUtf8());
        values.push_back(option.value().toUtf8());
    }
    std::vector<const char*> keywords, given;
    for (size_t k = 0; k < keys.size(); ++k) {
        if (values[k].isEmpty())
            continue;
        keywords.push_back(keys[k].constData());
        given.push_back(values[k].constData());
    }
    keywords.push_back(nullptr);
    given.push_back(nullptr);
    PGPing ping = PQpingParams(keywords.data(), given.data(), 0);
    return ping == PQPING_REJECT || ping == PQPING_NO_RESPONSE;
}

}  // namespace qm4250
