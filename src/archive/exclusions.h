#pragma once

#include <QDateTime>
#include <QString>
#include <map>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "result/result.h"

namespace qm4250 {

// A test left out of its PN's control limits, with the reason; or, with excluded false, taken
// back into them. Who made the change and when (UTC).
struct Exclusion {
    qint64 testId = 0;  // tests.id
    bool excluded = true;
    QString reason;
    QString changedBy;
    QDateTime changedAt;
};

// Keeps a change of a test's exclusion (migrating the archive first). Nothing is overwritten:
// every change stays, and the one stored last stands. A test id the archive does not hold is
// refused. The failure says why it was not stored.
Result<void, ArchiveError> StoreExclusion(const ArchiveLocation& location,
                                          const Exclusion& exclusion);

// The tests of these PNs whose latest change excludes them, by test id. An archive made before
// exclusions were kept (an older schema, read as it stands) has none.
Result<std::map<qint64, Exclusion>, ArchiveError> StandingExclusions(
    ArchiveConnection& connection, const std::vector<QString>& pns);

// Every change of the test's exclusion, oldest first.
Result<std::vector<Exclusion>, ArchiveError> ExclusionHistory(ArchiveConnection& connection,
                                                              qint64 testId);

}  // namespace qm4250
