#include "archive/frozen_limits.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <array>
#include <cmath>

#include "archive/change_time.h"
#include "archive/kept_text.h"
#include "archive/pn_batches.h"
#include "archive/schema.h"

namespace qm4250 {

namespace {

constexpr char kColumns[] =
    "pn, centre, lower, upper, average_moving_range, moving_range_upper, sigma, baseline,"
    " baseline_tests, changed_by, changed_at";

// The limits in the order of their columns, centre to sigma.
std::array<double, 6> Values(const ControlLimits& limits) {
    return {limits.mean,
            limits.lower,
            limits.upper,
            limits.averageMovingRange,
            limits.movingRangeUpper,
            limits.sigmaMovingRange};
}

// A row that lacks any of them thaws the PN.
std::optional<ControlLimits> LimitsOf(const QSqlQuery& query) {
    std::array<double, 6> values{};
    for (int k = 0; k < 6; ++k) {
        QVariant value = query.value(1 + k);
        if (value.isNull())
            return std::nullopt;
        values[k] = value.toDouble();
    }
    ControlLimits limits;
    limits.mean = values[0];
    limits.lower = values[1];
    limits.upper = values[2];
    limits.averageMovingRange = values[3];
    limits.movingRangeUpper = values[4];
    limits.sigmaMovingRange = values[5];
    return limits;
}

FrozenLimits ChangeOf(const QSqlQuery& query) {
    return {query.value(0).toString(), LimitsOf(query),
            query.value(7).toString(), query.value(8).toLongLong(),
            query.value(9).toString(), ChangeTimeOf(query.value(10).toString())};
}

}  // namespace

Result<void, ArchiveError> StoreFrozenLimits(const ArchiveLocation& location,
                                             const FrozenLimits& frozen) {
    std::optional<std::array<double, 6>> values;
    if (frozen.limits)
        values = Values(*frozen.limits);
    // SQLite would keep a NaN as NULL, which reads back as a thaw.
    if (values && !std::all_of(values->begin(), values->end(),
                               [](double value) { return std::isfinite(value); }))
        return ArchiveError{ArchiveError::Kind::Failed, location.display(),
                            "control limits to freeze must be finite numbers"};
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    if (!connection.isOpen())
        return connection.error();
    if (Result<void, ArchiveError> migrated = MigrateSchema(connection); !migrated)
        return migrated;
    QSqlQuery query(connection.db());
    query.prepare(QString("INSERT INTO frozen_limits (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(kColumns));
    query.addBindValue(KeptText(frozen.pn));
    for (size_t k = 0; k < 6; ++k)
        query.addBindValue(values ? QVariant((*values)[k])
                                  : QVariant(QMetaType(QMetaType::Double)));
    query.addBindValue(KeptText(frozen.baseline));
    query.addBindValue(frozen.baselineTests);
    query.addBindValue(KeptText(frozen.changedBy));
    query.addBindValue(KeptText(ChangeTimeText(frozen.changedAt)));
    if (!query.exec())
        return connection.failure(query.lastError());
    return {};
}

Result<std::map<QString, FrozenLimits>, ArchiveError> StandingFrozenLimits(
    ArchiveConnection& connection, const std::vector<QString>& pns) {
    std::map<QString, FrozenLimits> standing;
    Result<bool, ArchiveError> kept = HasSchema(connection, kFrozenLimitsSchema);
    if (!kept)
        return kept.error();
    if (!kept.value())
        return standing;
    Result<void, ArchiveError> read =
        SelectByPns(connection, KeptTexts(pns),
                    QString("SELECT %1 FROM frozen_limits f WHERE pn IN (%2) AND id ="
                            " (SELECT MAX(id) FROM frozen_limits l WHERE l.pn = f.pn)")
                        .arg(kColumns, "%1"),
                    [&](const QSqlQuery& query) {
                        FrozenLimits latest = ChangeOf(query);
                        if (latest.limits)
                            standing.insert_or_assign(latest.pn, std::move(latest));
                    });
    if (!read)
        return read.error();
    return standing;
}

Result<std::vector<FrozenLimits>, ArchiveError> FrozenLimitsHistory(ArchiveConnection& connection,
                                                                    const QString& pn) {
    std::vector<FrozenLimits> changes;
    Result<bool, ArchiveError> kept = HasSchema(connection, kFrozenLimitsSchema);
    if (!kept)
        return kept.error();
    if (!kept.value())
        return changes;
    QSqlQuery query(connection.db());
    query.setForwardOnly(true);
    query.prepare(QString("SELECT %1 FROM frozen_limits WHERE pn = ? ORDER BY id").arg(kColumns));
    query.addBindValue(KeptText(pn));
    if (!query.exec())
        return connection.failure(query.lastError());
    while (query.next())
        changes.push_back(ChangeOf(query));
    if (query.lastError().isValid())
        return connection.failure(query.lastError());
    return changes;
}

}  // namespace qm4250
