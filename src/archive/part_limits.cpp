#include "archive/part_limits.h"

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

QVariant Limit(const std::optional<double>& limit) {
    return limit ? QVariant(*limit) : QVariant(QMetaType(QMetaType::Double));
}

std::optional<double> LimitOf(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional(value.toDouble());
}

// The unit's column where the archive keeps one; NULL on an older schema read as it stands.
Result<QString, ArchiveError> UnitColumn(ArchiveConnection& connection) {
    Result<bool, ArchiveError> kept = HasSchema(connection, kLeakUnitSchema);
    if (!kept)
        return kept.error();
    return QString(kept.value() ? "unit" : "NULL");
}

}  // namespace

bool IsLeakUnit(const QString& unit) {
    if (unit.size() > kLeakUnitMostCharacters || unit != unit.trimmed())
        return false;
    return std::all_of(unit.begin(), unit.end(), [](QChar c) { return c.isPrint(); });
}

Result<void, ArchiveError> StorePartLimits(const ArchiveLocation& location,
                                           const PartLimits& limits) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    if (!connection.isOpen())
        return connection.error();
    if (Result<void, ArchiveError> migrated = MigrateSchema(connection); !migrated)
        return migrated;
    QSqlQuery query(connection.db());
    query.prepare(
        "INSERT INTO part_limits (pn, lower_limit, upper_limit, changed_by, changed_at, unit)"
        " VALUES (?, ?, ?, ?, ?, ?)");
    query.addBindValue(KeptText(limits.pn));
    query.addBindValue(Limit(limits.lower));
    query.addBindValue(Limit(limits.upper));
    query.addBindValue(KeptText(limits.changedBy));
    query.addBindValue(KeptText(ChangeTimeText(limits.changedAt)));
    query.addBindValue(limits.unit.isEmpty() ? QVariant(QMetaType(QMetaType::QString))
                                             : QVariant(KeptText(limits.unit)));
    if (!query.exec())
        return connection.failure(query.lastError());
    return {};
}

Result<std::vector<PartLimits>, ArchiveError> PartLimitsHistory(ArchiveConnection& connection,
                                                                const QString& pn) {
    Result<QString, ArchiveError> unit = UnitColumn(connection);
    if (!unit)
        return unit.error();
    QSqlQuery query(connection.db());
    query.prepare("SELECT lower_limit, upper_limit, changed_by, changed_at, " + unit.value() +
                  " FROM part_limits WHERE pn = ? ORDER BY id");
    query.addBindValue(KeptText(pn));
    if (!query.exec())
        return connection.failure(query.lastError());
    std::vector<PartLimits> changes;
    while (query.next())
        changes.push_back({pn, LimitOf(query.value(0)), LimitOf(query.value(1)),
                           query.value(2).toString(), ChangeTimeOf(query.value(3).toString()),
                           query.value(4).toString()});
    if (query.lastError().isValid())
        return connection.failure(query.lastError());
    return changes;
}

Result<std::map<QString, PartLimits>, ArchiveError> StandingPartLimits(
    ArchiveConnection& connection, const std::vector<QString>& pns) {
    std::map<QString, PartLimits> standing;
    Result<bool, ArchiveError> kept = HasSchema(connection, kPartLimitsSchema);
    if (!kept)
        return kept.error();
    if (!kept.value())
        return standing;
    Result<QString, ArchiveError> unit = UnitColumn(connection);
    if (!unit)
        return unit.error();
    Result<void, ArchiveError> read = SelectByPns(
        connection, KeptTexts(pns),
        "SELECT pn, lower_limit, upper_limit, changed_by, changed_at, " + unit.value() +
            " FROM part_limits p"
            " WHERE pn IN (%1) AND id = (SELECT MAX(id) FROM part_limits l WHERE l.pn = p.pn)",
        [&](const QSqlQuery& query) {
            QString pn = query.value(0).toString();
            standing.insert_or_assign(
                pn, PartLimits{pn, LimitOf(query.value(1)), LimitOf(query.value(2)),
                               query.value(3).toString(), ChangeTimeOf(query.value(4).toString()),
                               query.value(5).toString()});
        });
    if (!read)
        return read.error();
    return standing;
}

Result<bool, ArchiveError> PnHasTests(ArchiveConnection& connection, const QString& pn) {
    bool found = false;
    if (Result<void, ArchiveError> read =
            SelectByPns(connection, {pn}, "SELECT 1 FROM tests WHERE pn IN (%1) LIMIT 1",
                        [&found](const QSqlQuery&) { found = true; });
        !read)
        return read.error();
    return found;
}

}  // namespace qm4250
