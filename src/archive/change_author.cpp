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

std::variant<QString, ArchiveError> ChangeAuthor(ArchiveConnection& connection) {
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

QString KeptText(const QString& text) {
    QString kept = text.isNull() ? QString("") : text;
    return kept.replace(QChar(0), QChar(0x2400));
}

std::vector<QString> KeptTexts(const std::vector<QString>& texts) {
    std::vector<QString> kept;
    kept.reserve(texts.size());
    for (const QString& text : texts)
        kept.push_back(KeptText(text));
    return kept;
}

}  // namespace qm4250
