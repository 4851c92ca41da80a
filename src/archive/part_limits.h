#pragma once

#include <QDateTime>
#include <QString>
#include <map>
#include <optional>
#include <variant>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/archive_location.h"

namespace qm4250 {

// A part number's tolerance as set at one time: the upper limit (the reject set point)
// and a lower limit where there is one, with who set them and when (UTC).
struct PartLimits {
    QString pn;
    std::optional<double> lower;
    std::optional<double> upper;
    QString changedBy;
    QDateTime changedAt;
};

// Keeps a change of a PN's limits (migrating the archive first). Nothing is overwritten: every
// change stays, and the one stored last stands, whoever's clock says what. None when stored.
std::optional<ArchiveError> StorePartLimits(const ArchiveLocation& location,
                                            const PartLimits& limits);

// Every change of the PN's limits, oldest first.
std::variant<std::vector<PartLimits>, ArchiveError> PartLimitsHistory(ArchiveConnection& connection,
                                                                      const QString& pn);

// The limits that stand for each of these PNs that has any. An archive made before limits were
// kept (an older schema, read as it stands) has none.
std::variant<std::map<QString, PartLimits>, ArchiveError> StandingPartLimits(
    ArchiveConnection& connection, const std::vector<QString>& pns);

}  // namespace qm4250
