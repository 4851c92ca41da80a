#pragma once

#include <QDateTime>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "result/result.h"

namespace qm4250 {

// A part number's tolerance as set at one time: the upper limit (the reject set point)
// and a lower limit where there is one, the unit its leak is measured in where one was given,
// with who set them and when (UTC).
struct PartLimits {
    QString pn;
    std::optional<double> lower;
    std::optional<double> upper;
    QString changedBy;
    QDateTime changedAt;
    QString unit = {};  // "sccm"; empty where none was given
};

// The longest unit kept: a unit is a short name, shown beside every leak.
inline constexpr int kLeakUnitMostCharacters = 16;

// Whether the text can be kept as a unit: empty (none), or at most kLeakUnitMostCharacters
// printable characters, neither beginning nor ending with a blank.
bool IsLeakUnit(const QString& unit);

// Keeps a change of a PN's limits (migrating the archive first). Nothing is overwritten: every
// change stays, and the one stored last stands, whoever's clock says what. The failure says why it
// was not stored.
Result<void, ArchiveError> StorePartLimits(const ArchiveLocation& location,
                                           const PartLimits& limits);

// Every change of the PN's limits, oldest first. An archive made before units were kept has
// none.
Result<std::vector<PartLimits>, ArchiveError> PartLimitsHistory(ArchiveConnection& connection,
                                                                const QString& pn);

// The limits that stand for each of these PNs that has any. An archive made before limits were
// kept (an older schema, read as it stands) has none.
Result<std::map<QString, PartLimits>, ArchiveError> StandingPartLimits(
    ArchiveConnection& connection, const std::vector<QString>& pns);

// Whether the archive holds a test of the PN: limits for a PN never tested are most often a typo.
Result<bool, ArchiveError> PnHasTests(ArchiveConnection& connection, const QString& pn);

}  // namespace qm4250
