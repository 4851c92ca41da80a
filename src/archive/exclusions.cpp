#include "archive/exclusions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "archive/change_time.h"
#include "archive/kept_text.h"
#include "archive/pn_batches.h"
#include "archive/schema.h"

namespace qm4250 {

namespace {

constexpr char kColumns[] = "e.test_id, e.excluded, e.reason, e.changed_by, e.changed_at";

Exclusion ChangeOf(const QSqlQuery& query) {
    return {query.value(0).toLongLong(), query.value(1).toInt() != 0, query.value(2).toString(),
            query.value(3).toString(), ChangeTimeOf(query.value(4).toString())};
}

// Whether the archive holds the test; the foreign key would refuse the exclusion too, but in the
// engine's words.
Result<bool, ArchiveError> HoldsTest(ArchiveConnection& connection, qint64 testId) {
    QSqlQuery query(connection.db());
    query.prepare("SELECT 1 FROM tests WHERE id = ?");
    query.addBindValue(testId);
    if (!query.exec())
        return connection.failure(query.lastError());
    bool found = query.next();
    if (query.lastError().isValid())
        return connection.failure(query.lastError());
    return found;
}

}  // namespace

Result<void, ArchiveError> StoreExclusion(const ArchiveLocation& location,
                                          const Exclusion& exclusion) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    if (!connection.isOpen())
        return connection.error();
    if (Result<void, ArchiveError> migrated = MigrateSchema(connection); !migrated)
        return migrated;
    Result<bool, ArchiveError> held = HoldsTest(connection, exclusion.testId);
    if (!held)
        return held.error();
    if (!held.value())
        return ArchiveError{ArchiveError::Kind::Failed, location.display(),
                            QString("it holds no test with the id %1").arg(exclusion.testId)};
    QSqlQuery query(connection.db());
    query.prepare(
        "INSERT INTO exclusions (test_id, excluded, reason, changed_by, changed_at)"
        " VALUES (?, ?, ?, ?, ?)");
    query.addBindValue(exclusion.testId);
    query.addBindValue(exclusion.excluded ? 1 : 0);
    query.addBindValue(KeptText(exclusion.reason));
    query.addBindValue(KeptText(exclusion.changedBy));
    query.addBindValue(KeptText(ChangeTimeText(exclusion.changedAt)));
    if (!query.exec())
        return connection.failure(query.lastError());
    return {};
}

Result<std::map<qint64, Exclusion>, ArchiveError> StandingExclusions(
    ArchiveConnection& connection, const std::vector<QString>& pns) {
    std::map<qint64, Exclusion> standing;
    Result<bool, ArchiveError> kept = HasSchema(connection, kFrozenLimitsSchema);
    if (!kept)
        return kept.error();
    if (!kept.value())
        return standing;
    Result<void, ArchiveError> read =
        SelectByPns(connection, KeptTexts(pns),
                    // Read from the exclusions, a handful, each test's PN looked up by its key:
                    // joined the other way, an engine may walk every test of the PNs (a million
                    // in 60 ms) to find none.
                    QString("SELECT %1 FROM exclusions e WHERE e.excluded = 1 AND e.id ="
                            " (SELECT MAX(l.id) FROM exclusions l WHERE l.test_id = e.test_id)"
                            " AND (SELECT t.pn FROM tests t WHERE t.id = e.test_id) IN (%2)")
                        .arg(kColumns, "%1"),
                    [&](const QSqlQuery& query) {
                        Exclusion latest = ChangeOf(query);
                        standing.insert_or_assign(latest.testId, std::move(latest));
                    });
    if (!read)
        return read.error();
    return standing;
}

Result<std::vector<Exclusion>, ArchiveError> ExclusionHistory(ArchiveConnection& connection,
                                                              qint64 testId) {
    std::vector<Exclusion> changes;
    Result<bool, ArchiveError> kept = HasSchema(connection, kFrozenLimitsSchema);
    if (!kept)
        return kept.error();
    if (!kept.value())
        return changes;
    QSqlQuery query(connection.db());
    query.setForwardOnly(true);
    query.prepare(
        QString("SELECT %1 FROM exclusions e WHERE e.test_id = ? ORDER BY e.id").arg(kColumns));
    query.addBindValue(testId);
    if (!query.exec())
        return connection.failure(query.lastError());
    while (query.next())
        changes.push_back(ChangeOf(query));
    if (query.lastError().isValid())
        return connection.failure(query.lastError());
    return changes;
}

}  // namespace qm4250
