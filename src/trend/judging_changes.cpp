#include "trend/judging_changes.h"

#include <QDateTime>
#include <variant>

#include "archive/change_author.h"
#include "archive/exclusions.h"
#include "archive/frozen_limits.h"
#include "archive/part_limits.h"

namespace qm4250 {

namespace {

Result<void, JudgingRefusal> Kept(const std::optional<ArchiveError>& notStored,
                                  JudgingRefusal::Change change) {
    if (notStored)
        return JudgingRefusal{change, *notStored};
    return {};
}

}  // namespace

JudgingChanges::JudgingChanges(const ArchiveLocation& location, ArchiveConnection& connection,
                               const JudgedSelection& selection)
    : location_(location), connection_(connection), selection_(selection) {}

Result<void, JudgingRefusal> JudgingChanges::setTolerance(const QString& pn,
                                                          const PartTolerance& tolerance) const {
    return Kept(StorePartLimits(location_,
                                {pn, tolerance.limits.lower, tolerance.limits.upper, ChangeAuthor(),
                                 QDateTime::currentDateTimeUtc(), tolerance.unit}),
                JudgingRefusal::Change::Tolerance);
}

Result<void, JudgingRefusal> JudgingChanges::freezeLimits(const QString& pn,
                                                          const LimitsBaseline& baseline) const {
    Result<FrozenLimits, BaselineRefusal> computed =
        BaselineLimits(connection_, pn, baseline, selection_.judging);
    if (!computed)
        return JudgingRefusal{JudgingRefusal::Change::Freeze, computed.error()};
    return Kept(StoreFrozenLimits(location_, computed.value()), JudgingRefusal::Change::Freeze);
}

Result<void, JudgingRefusal> JudgingChanges::thawLimits(const QString& pn) const {
    return Kept(
        StoreFrozenLimits(
            location_, {pn, std::nullopt, {}, 0, ChangeAuthor(), QDateTime::currentDateTimeUtc()}),
        JudgingRefusal::Change::Thaw);
}

Result<void, JudgingRefusal> JudgingChanges::leaveOut(qint64 testId, const QString& reason) const {
    return Kept(StoreExclusion(location_, {testId, true, reason, ChangeAuthor(),
                                           QDateTime::currentDateTimeUtc()}),
                JudgingRefusal::Change::LeaveOut);
}

Result<void, JudgingRefusal> JudgingChanges::takeBack(qint64 testId, const QString& reason) const {
    return Kept(StoreExclusion(location_, {testId, false, reason, ChangeAuthor(),
                                           QDateTime::currentDateTimeUtc()}),
                JudgingRefusal::Change::TakeBack);
}

}  // namespace qm4250
