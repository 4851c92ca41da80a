#include "archive/change_author.h"

#include <pwd.h>
#include <unistd.h>

#include <QSqlQuery>

namespace qm4250 {

namespace {

QString SystemAccount() {
    uid_t uid = geteuid();
    const passwd* account = getpwuid(uid);
    return account ? QString::fromLocal8Bit(account->pw_name) : QString("uid %1").arg(uid);
}

}  // namespace

Result<QString, ArchiveError> ChangeAuthor(ArchiveConnection& connection) {
    QString account = SystemAccount();
    if (connection.location().engine == ArchiveLocation::Engine::Sqlite)
        return account;
    if (!connection.isOpen())
        return connection.error();
    QSqlQuery query(connection.db());
    if (!query.exec("SELECT session_user") || !query.next())
        return connection.failure(query.lastError());
    QString sessionUser = query.value(0).toString();
    return sessionUser == account ? account : account + " (postgres user " + sessionUser + ")";
}

}  // namespace qm4250
