#pragma once

#include <QString>
#include <optional>

#include "archive/archive_connection.h"
#include "archive/archive_location.h"
#include "trend/baseline_limits.h"
#include "trend/judged_selection.h"

namespace qm4250 {

// What an engineer changes in how the charts judge, kept in the archive with who made the change
// and when: a PN's tolerance, its limits frozen from a baseline or thawed, a test left out of the
// limits or taken back into them. Each gives none when kept, else what to tell.
class JudgingChanges {
  public:
    JudgingChanges(const ArchiveLocation& location, ArchiveConnection& connection,
                   const JudgedSelection& selection);

    std::optional<QString> setTolerance(const QString& pn, const PartTolerance& tolerance) const;
    // The baseline's tests judged as the selection is: rejects and tests left out not counted.
    std::optional<QString> freezeLimits(const QString& pn, const LimitsBaseline& baseline) const;
    std::optional<QString> thawLimits(const QString& pn) const;
    std::optional<QString> leaveOut(qint64 testId, const QString& reason) const;
    std::optional<QString> takeBack(qint64 testId, const QString& reason) const;

  private:
    const ArchiveLocation& location_;
    ArchiveConnection& connection_;
    const JudgedSelection& selection_;
};

}  // namespace qm4250
