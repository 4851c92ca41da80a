#include "trend/judging_changes.h"

#include <QDateTime>
#include <functional>

#include "archive/change_author.h"
#include "archive/exclusions.h"
#include "archive/frozen_limits.h"
#include "archive/part_limits.h"
#include "trend/off_the_event_thread.h"

namespace qm4250 {

namespace {

// Stores a change made by whoever runs the program, as the archive knows them.
Result<void, JudgingRefusal> Keep(
    ArchiveConnection& connection, JudgingRefusal::Change change,
    const std::function<Result<void, ArchiveError>(const QString& author)>& store) {
    Result<QString, ArchiveError> author = ChangeAuthor(connection);
    if (!author)
        return JudgingRefusal{change, author.error()};
    // The store opens a connection of its own: a lock on the archive waits off the event thread.
    if (Result<void, ArchiveError> stored =
            OffTheEventThread([&] { return store(author.value()); });
        !stored)
        return JudgingRefusal{change, stored.error()};
    return {};
}

}  // namespace

JudgingChanges::JudgingChanges(const ArchiveLocation& location, ArchiveConnection& connection,
                               const JudgedSelection& selection)
    : location_(location), connection_(connection), selection_(selection) {}

Result<void, JudgingRefusal> JudgingChanges::setTolerance(const QString& pn,
                                                          const PartTolerance& tolerance) const {
    return Keep(connection_, JudgingRefusal::Change::Tolerance, [&](const QString& author) {
        return StorePartLimits(location_,
                               {pn, tolerance.limits.lower, tolerance.limits.upper, author,
                                QDateTime::currentDateTimeUtc(), tolerance.unit});
    });
}

Result<void, JudgingRefusal> JudgingChanges::freezeLimits(const QString& pn,
                                                          const LimitsBaseline& baseline) const {
    Result<FrozenLimits, BaselineRefusal> computed =
        BaselineLimits(connection_, pn, baseline, selection_.judging);
    if (!computed)
        return JudgingRefusal{JudgingRefusal::Change::Freeze, computed.error()};
    if (Result<void, ArchiveError> stored =
            OffTheEventThread([&] { return StoreFrozenLimits(location_, computed.value()); });
        !stored)
        return JudgingRefusal{JudgingRefusal::Change::Freeze, stored.error()};
    return {};
}

Result<void, JudgingRefusal> JudgingChanges::thawLimits(const QString& pn) const {
    return Keep(connection_, JudgingRefusal::Change::Thaw, [&](const QString& author) {
        return StoreFrozenLimits(
            location_, {pn, std::nullopt, {}, 0, author, QDateTime::currentDateTimeUtc()});
    });
}

Result<void, JudgingRefusal> JudgingChanges::leaveOut(qint64 testId, const QString& reason) const {
    return Keep(connection_, JudgingRefusal::Change::LeaveOut, [&](const QString& author) {
        return StoreExclusion(location_,
                              {testId, true, reason, author, QDateTime::currentDateTimeUtc()});
    });
}

Result<void, JudgingRefusal> JudgingChanges::takeBack(qint64 testId, const QString& reason) const {
    return Keep(connection_, JudgingRefusal::Change::TakeBack, [&](const QString& author) {
        return StoreExclusion(location_,
                              {testId, false, reason, author, QDateTime::currentDateTimeUtc()});
    });
}

}  // namespace qm4250
