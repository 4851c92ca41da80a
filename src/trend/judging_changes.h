#pragma once

#include <QString>

#include "archive/archive_connection.h"
#include "archive/archive_location.h"
#include "result/result.h"
#include "trend/baseline_limits.h"
#include "trend/judged_selection.h"

namespace qm4250 {

// A change to how the charts judge that was not kept, and why.
struct JudgingRefusal {
    enum class Change { Tolerance, Freeze, Thaw, LeaveOut, TakeBack };
    Change change = Change::Tolerance;
    BaselineRefusal cause;  // Freeze: the baseline's refusal too; else the archive's error
};

// What an engineer changes in how the charts judge, kept in the archive with who made the change
// and when: a PN's tolerance, its limits frozen from a baseline or thawed, a test left out of the
// limits or taken back into them. Each fails with the change refused and why.
class JudgingChanges {
  public:
    JudgingChanges(const ArchiveLocation& location, ArchiveConnection& connection,
                   const JudgedSelection& selection);

    Result<void, JudgingRefusal> setTolerance(const QString& pn,
                                              const PartTolerance& tolerance) const;
    // The baseline's tests judged as the selection is: rejects and tests left out not counted.
    Result<void, JudgingRefusal> freezeLimits(const QString& pn,
                                              const LimitsBaseline& baseline) const;
    Result<void, JudgingRefusal> thawLimits(const QString& pn) const;
    Result<void, JudgingRefusal> leaveOut(qint64 testId, const QString& reason) const;
    Result<void, JudgingRefusal> takeBack(qint64 testId, const QString& reason) const;

  private:
    const ArchiveLocation& location_;
    ArchiveConnection& connection_;
    const JudgedSelection& selection_;
};

}  // namespace qm4250
