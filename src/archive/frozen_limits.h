#pragma once

#include <QDateTime>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "analysis/control_chart.h"
#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "result/result.h"

namespace qm4250 {

// A PN's control limits as frozen at one time, computed from a chosen baseline, so that later
// tests are judged against them; or, without limits, the PN thawed (its limits computed from
// what is shown again). Who made the change and when (UTC).
struct FrozenLimits {
    QString pn;
    std::optional<ControlLimits> limits;  // none: thawed
    QString baseline;                     // how the baseline was chosen, as the window shows it
    qint64 baselineTests = 0;
    QString changedBy;
    QDateTime changedAt;
};

// Keeps a change of a PN's frozen limits (migrating the archive first). Nothing is overwritten:
// every change stays, and the one stored last stands, whoever's clock says what. Limits that are
// not all finite numbers are refused. The failure says why it was not stored.
Result<void, ArchiveError> StoreFrozenLimits(const ArchiveLocation& location,
                                             const FrozenLimits& frozen);

// The frozen limits that stand for each of these PNs whose latest change froze them. An archive
// made before they were kept (an older schema, read as it stands) has none.
Result<std::map<QString, FrozenLimits>, ArchiveError> StandingFrozenLimits(
    ArchiveConnection& connection, const std::vector<QString>& pns);

// Every change of the PN's frozen limits, oldest first.
Result<std::vector<FrozenLimits>, ArchiveError> FrozenLimitsHistory(ArchiveConnection& connection,
                                                                    const QString& pn);

}  // namespace qm4250
