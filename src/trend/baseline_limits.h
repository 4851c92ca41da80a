#pragma once

#include <QDate>
#include <QString>
#include <variant>

#include "archive/archive_connection.h"
#include "archive/frozen_limits.h"
#include "result/result.h"
#include "trend/selection_judging.h"

namespace qm4250 {

// The tests a PN's limits are frozen from: its first N tests in the archive, or those of a date
// range (either end may be open).
struct LimitsBaseline {
    size_t firstTests = 0;  // 0: the date range
    QDate from, to;
};

// What the engineer is shown for a baseline: "first 100 tests", "tests 2026-11-01 to 2026-11-30".
QString BaselineText(const LimitsBaseline& baseline);

// A baseline whose tests that make limits include no two one after the other: no moving range.
struct NoMovingRange {
    LimitsBaseline baseline;
    size_t kept = 0;  // its tests that make limits
};

// Why a baseline gives no limits: its tests cannot be read, or they give no moving range.
using BaselineRefusal = std::variant<ArchiveError, NoMovingRange>;

// The PN's limits computed from the baseline's tests that make limits (rejects and tests left out
// as the judging says), to be frozen by whoever runs the program, now; or why there are none.
Result<FrozenLimits, BaselineRefusal> BaselineLimits(ArchiveConnection& connection,
                                                     const QString& pn,
                                                     const LimitsBaseline& baseline,
                                                     const SelectionJudging& judging);

}  // namespace qm4250
