#include "trend/judging_changes.h"

#include <QDateTime>
#include <functional>
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

// Stores a change made by whoever runs the program, as the archive knows them; what to tell when
// it is not kept.
std::optional<QString> Keep(
    ArchiveConnection& connection, const QString& what,
    const std::function<std::optional<ArchiveError>(const QString& author)>& store) {
    std::variant<QString, ArchiveError> author = ChangeAuthor(connection);
    if (auto* error = std::get_if<ArchiveError>(&author))
        return Refusal(*error, what);
    return Refusal(store(std::get<QString>(author)), what);
}

}  // namespace

JudgingChanges::JudgingChanges(const ArchiveLocation& location, ArchiveConnection& connection,
                               const JudgedSelection& selection)
    : location_(location), connection_(connection), selection_(selection) {}

std::optional<QString> JudgingChanges::setTolerance(const QString& pn,
                                                    const PartTolerance& tolerance) const {
    return Keep(connection_, "The tolerance limits were", [&](const QString& author) {
        return StorePartLimits(location_,
                               {pn, tolerance.limits.lower, tolerance.limits.upper, author,
                                QDateTime::currentDateTimeUtc(), tolerance.unit});
    });
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
    return Keep(connection_, "The thawing was", [&](const QString& author) {
        return StoreFrozenLimits(
            location_, {pn, std::nullopt, {}, 0, author, QDateTime::currentDateTimeUtc()});
    });
}

std::optional<QString> JudgingChanges::leaveOut(qint64 testId, const QString& reason) const {
    return Keep(connection_, "The exclusion was", [&](const QString& author) {
        return StoreExclusion(location_,
                              {testId, true, reason, author, QDateTime::currentDateTimeUtc()});
    });
}

std::optional<QString> JudgingChanges::takeBack(qint64 testId, const QString& reason) const {
    return Keep(connection_, "The taking back was", [&](const QString& author) {
        return StoreExclusion(location_,
                              {testId, false, reason, author, QDateTime::currentDateTimeUtc()});
    });
}

}  // namespace qm4250
