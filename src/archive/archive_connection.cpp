#include "archive/archive_connection.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace qm4250 {

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kConnectTimeoutS = 5;

QString UniqueConnectionName() {
    static QAtomicInt next;
    return QString("qm4250-archive-%1").arg(next.fetchAndAddRelaxed(1));
}

}  // namespace

ArchiveConnection::ArchiveConnection(const ArchiveLocation& location) {
    bool sqlite = location.engine == ArchiveLocation::Engine::Sqlite;
    QString driver = sqlite ? "QSQLITE" : "QPSQL";
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        error_ = "the Qt SQL driver " + driver + " is not installed";
        return;
    }
    db_ = QSqlDatabase::addDatabase(driver, UniqueConnectionName());
    if (sqlite) {
        QDir().mkpath(QFileInfo(location.path).absolutePath());
        db_.setDatabaseName(location.path);
        db_.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    } else {
        db_.setHostName(location.host);
        db_.setPort(location.port);
        db_.setUserName(location.user);
        db_.setPassword(location.password);
        db_.setDatabaseName(location.database);
        db_.setConnectOptions(QString("connect_timeout=%1").arg(kConnectTimeoutS));
    }
    if (!db_.open()) {
        error_ = db_.lastError().text();
        return;
    }
    QSqlQuery query(db_);
    if (sqlite && (!query.exec("PRAGMA journal_mode=WAL") || !query.exec("PRAGMA foreign_keys=ON")))
        error_ = query.lastError().text();
}

ArchiveConnection::~ArchiveConnection() {
    QString name = db_.connectionName();
    db_.close();
    db_ = QSqlDatabase();
    if (!name.isEmpty())
        QSqlDatabase::removeDatabase(name);
}

}  // namespace qm4250
