#include "archive/part_limits.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "archive/schema.h"

namespace qm4250 {

namespace {

QVariant Limit(const std::optional<double>& limit) {
    return limit ? QVariant(*limit) : QVariant(QMetaType(QMetaType::Double));
}

std::optional<double> LimitOf(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional(value.toDouble());
}

// The changes of the PN in the order they were stored.
std::variant<std::vector<PartLimits>, ArchiveError> Changes(ArchiveConnection& connection,
                                                            const QString& pn, bool lastOnly) {
    QSqlQuery query(connection.db());
    query.prepare(QString("SELECT lower_limit, upper_limit, changed_by, changed_at FROM part_limits"
                          " WHERE pn = ? ORDER BY id %1")
                      .arg(lastOnly ? "DESC LIMIT 1" : "ASC"));
    query.addBindValue(pn);
    if (!query.exec())
        return connection.failure(query.lastError());
    std::vector<PartLimits> changes;
    while (query.next())
        changes.push_back({pn, LimitOf(query.value(0)), LimitOf(query.value(1)),
                           query.value(2).toString(),
                           QDateTime::fromString(query.value(3).toString(), Qt::ISODate)});
    if (query.lastError().isValid())
        return connection.failure(query.lastError());
    return changes;
}

}  // namespace

std::optional<ArchiveError> StorePartLimits(const ArchiveLocation& location,
                                            const PartLimits& limits) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    if (!connection.isOpen())
        return connection.error();
    if (std::optional<ArchiveError> refused = MigrateSchema(connection))
        return refused;
    QSqlQuery query(connection.db());
    query.prepare(
        "INSERT INTO part_limits (pn, lower_limit, upper_limit, changed_by, changed_at)"
        " VALUES (?, ?, ?, ?, ?)");
    query.addBindValue(limits.pn);
    query.addBindValue(Limit(limits.lower));
    query.addBindValue(Limit(limits.upper));
    query.addBindValue(limits.changedBy);
    query.addBindValue(limits.changedAt.toUTC().toString(Qt::ISODate));
    if (!query.exec())
        return connection.failure(query.lastError());
    return std::nullopt;
}

std::variant<std::optional<PartLimits>, ArchiveError> CurrentPartLimits(
    ArchiveConnection& connection, const QString& pn) {
    std::variant<std::vector<PartLimits>, ArchiveError> last = Changes(connection, pn, true);
    if (auto* error = std::get_if<ArchiveError>(&last))
        return *error;
    std::vector<PartLimits>& changes = std::get<std::vector<PartLimits>>(last);
    if (changes.empty())
        return std::optional<PartLimits>();
    return std::optional<PartLimits>(std::move(changes.front()));
}

std::variant<std::vector<PartLimits>, ArchiveError> PartLimitsHistory(ArchiveConnection& connection,
                                                                      const QString& pn) {
    return Changes(connection, pn, false);
}

std::variant<std::map<QString, PartLimits>, ArchiveError> StandingPartLimits(
    ArchiveConnection& connection, const std::vector<QString>& pns) {
    std::map<QString, PartLimits> standing;
    QSqlQuery version(connection.db());
    if (!version.exec("SELECT MAX(version) FROM schema_version") || !version.next())
        return connection.failure(version.lastError());
    if (version.value(0).toInt() < kPartLimitsSchema)
        return standing;
    for (const QString& pn : pns) {
        std::variant<std::optional<PartLimits>, ArchiveError> current =
            CurrentPartLimits(connection, pn);
        if (auto* error = std::get_if<ArchiveError>(&current))
            return *error;
        if (auto& limits = std::get<std::optional<PartLimits>>(current))
            standing.emplace(pn, std::move(*limits));
    }
    return standing;
}

}  // namespace qm4250
