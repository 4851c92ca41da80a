#include "trend/judging_changes.h"

#include <QDateTime>
#include <variant>

#include "archive/change_author.h"
#include "archive/exclusions.h"
#include "archive/frozen_limits.h"
#include "archive/part_limits.h"

namespace qm4250 {

namespace {

std::optional<QString> Refusal(const std::optional<ArchiveError>& stored, const QString& what) {
    if (!stored)
        return std::nullopt;
    return what + " not kept: " + ArchiveErrorText(*stored);
}

}  // namespace

JudgingChanges::JudgingChanges(const ArchiveLocation& location, ArchiveConnection& connection,
                               const JudgedSelection& selection)
    : location_(location), connection_(connection), selection_(selection) {}

std::optional<QString> JudgingChanges::setTolerance(const QString& pn,
                                                    const PartTolerance& tolerance) const {
    return Refusal(StorePartLimits(location_, {pn, tolerance.limits.lower, tolerance.limits.upper,
                                               ChangeAuthor(), QDateTime::currentDateTimeUtc(),
                                               tolerance.unit}),
                   "The tolerance limits were");
}

std::optional<QString> JudgingChanges::freezeLimits(const QString& pn,
                                                    const LimitsBaseline& baseline) const {
    std::variant<FrozenLimits, QString> computed =
        BaselineLimits(connection_, pn, baseline, selection_.judging);
    if (auto* why = std::get_if<QString>(&computed))
        return "The limits were not frozen: " + *why;
    return Refusal(StoreFrozenLimits(location_, std::get<FrozenLimits>(computed)),
                   "The frozen limits were");
}

std::optional<QString> JudgingChanges::thawLimits(const QString& pn) const {
    return Refusal(
        StoreFrozenLimits(
            location_, {pn, std::nullopt, {}, 0, ChangeAuthor(), QDateTime::currentDateTimeUtc()}),
        "The thawing was");
}

std::optional<QString> JudgingChanges::leaveOut(qint64 testId, const QString& reason) const {
    return Refusal(StoreExclusion(location_, {testId, true, reason, ChangeAuthor(),
                                              QDateTime::currentDateTimeUtc()}),
                   "The exclusion was");
}

std::optional<QString> JudgingChanges::takeBack(qint64 testId, const QString& reason) const {
    return Refusal(StoreExclusion(location_, {testId, false, reason, ChangeAuthor(),
                                              QDateTime::currentDateTimeUtc()}),
                   "The taking back was");
}

}  // namespace qm4250
