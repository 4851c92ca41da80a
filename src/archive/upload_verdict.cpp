#include "archive/upload_verdict.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <optional>
#include <unordered_set>

#include "analysis/chart_judgement.h"
#include "archive/exclusions.h"
#include "archive/frozen_limits.h"
#include "archive/iso_date.h"
#include "archive/part_limits.h"
#include "archive/pn_batches.h"
#include "archive/test_points.h"

namespace qm4250 {

namespace {

// A PN of one instrument among the new tests, and the day of its newest.
struct NewPart {
    QString serial;
    QString pn;
    QDate newest;
};

template <typename Value>
Result<void, ArchiveError> Take(Result<Value, ArchiveError> read, Value& into) {
    if (!read)
        return read.error();
    into = std::move(read.value());
    return {};
}

}  // namespace

Result<std::vector<PartVerdict>, ArchiveError> VerdictOnUploads(
    ArchiveConnection& connection, const std::vector<qint64>& uploads) {
    if (uploads.empty())
        return std::vector<PartVerdict>{};
    std::vector<NewPart> parts;
    std::unordered_set<qint64> newTests;
    std::vector<QString> pns;
    QVariantList ids;
    for (qint64 upload : uploads)
        ids << upload;
    // A verdict is asked of an upload from an instrument: one id, one batch.
    Result<void, ArchiveError> read = SelectByValues(
        connection, ids,
        "SELECT i.serial, t.pn, MAX(t.tested_at) FROM tests t"
        " JOIN instruments i ON i.id = t.instrument_id WHERE t.first_upload_id IN (%1)"
        " GROUP BY i.serial, t.pn ORDER BY t.pn, i.serial",
        [&](const QSqlQuery& row) {
            parts.push_back({row.value(0).toString(), row.value(1).toString(),
                             IsoDate(row.value(2).toString().left(10))});
            pns.push_back(parts.back().pn);
        });
    if (read)
        read = SelectByValues(
            connection, ids, "SELECT id FROM tests WHERE first_upload_id IN (%1)",
            [&](const QSqlQuery& row) { newTests.insert(row.value(0).toLongLong()); });
    std::map<QString, PartLimits> tolerances;
    std::map<QString, FrozenLimits> frozen;
    std::map<qint64, Exclusion> exclusions;
    if (read)
        read = Take(StandingPartLimits(connection, pns), tolerances);
    if (read)
        read = Take(StandingFrozenLimits(connection, pns), frozen);
    if (read)
        read = Take(StandingExclusions(connection, pns), exclusions);
    if (!read)
        return read.error();

    std::vector<PartVerdict> verdicts;
    for (const NewPart& part : parts) {
        TestFilter filter;
        filter.instrument = part.serial;
        filter.pns = {part.pn};
        filter.from = part.newest.addDays(-29);
        SelectedTests selected;
        if (Result<void, ArchiveError> taken = Take(SelectTestPoints(connection, filter), selected);
            !taken)
            return taken.error();
        std::vector<TestReading> readings;
        std::vector<bool> isNew;
        for (const TestPoint& test : selected.points) {
            bool kept = test.leak && !test.reject && !exclusions.count(test.id);
            readings.push_back({test.leak, test.reading, test.reject, kept});
            isNew.push_back(newTests.count(test.id) > 0);
        }
        ToleranceLimits tolerance;
        if (auto found = tolerances.find(part.pn); found != tolerances.end())
            tolerance = {found->second.lower, found->second.upper};
        std::optional<ControlLimits> frozenLimits;
        if (auto found = frozen.find(part.pn); found != frozen.end())
            frozenLimits = found->second.limits;
        PartVerdict verdict = JudgeNewTests(part.pn.toStdString(), readings, isNew, frozenLimits,
                                            tolerance, kDefaultRunRules);
        if (verdict.anything())
            verdicts.push_back(std::move(verdict));
    }
    return verdicts;
}

Result<std::vector<PartVerdict>, ArchiveError> VerdictOnUploads(
    const ArchiveLocation& location, const std::vector<qint64>& uploads) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    if (!connection.isOpen())
        return connection.error();
    return VerdictOnUploads(connection, uploads);
}

}  // namespace qm4250
