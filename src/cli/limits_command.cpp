#include "cli/limits_command.h"

#include <QDateTime>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/change_author.h"
#include "archive/part_limits.h"
#include "cli/escaped_text.h"

namespace qm4250 {

namespace {

std::string LimitText(const std::optional<double>& limit) {
    return limit ? QString::number(*limit, 'g', 10).toStdString() : "none";
}

std::string ChangeText(const PartLimits& change) {
    std::string unit = change.unit.isEmpty() ? "no unit" : "unit " + change.unit.toStdString();
    return "upper " + LimitText(change.upper) + ", lower " + LimitText(change.lower) + ", " + unit +
           ", set by " + change.changedBy.toStdString() + " at " +
           change.changedAt.toString(Qt::ISODate).toStdString();
}

// What of the PN's standing limits a change leaves as they are: its limits when only the unit
// is given, its unit when only the limits are. An archive not made yet has none.
Result<PartLimits, ArchiveError> ChangeOf(const ArchiveLocation& archive,
                                          const LimitsArguments& arguments, const QString& pn) {
    ArchiveConnection connection(archive, ArchiveConnection::Access::Read);
    bool missing = !connection.isOpen() && connection.error().kind == ArchiveError::Kind::Missing;
    if (!connection.isOpen() && !missing)
        return connection.error();
    Result<QString, ArchiveError> author = ChangeAuthor(connection);
    if (!author)
        return author.error();
    PartLimits change{pn,
                      arguments.lower,
                      arguments.upper,
                      author.value(),
                      QDateTime::currentDateTimeUtc(),
                      arguments.unit.value_or(QString())};
    if ((arguments.upper && arguments.unit) || missing)
        return change;
    auto standing = StandingPartLimits(connection, {pn});
    if (!standing) {
        if (standing.error().kind == ArchiveError::Kind::Missing)
            return change;
        return standing.error();
    }
    auto found = standing.value().find(pn);
    if (found == standing.value().end())
        return change;
    if (!arguments.upper) {
        change.lower = found->second.lower;
        change.upper = found->second.upper;
    }
    if (!arguments.unit)
        change.unit = found->second.unit;
    return change;
}

// A PN the archive holds no test of is most often a typo; the limits are kept all the same.
void WarnOfAnUntestedPn(const ArchiveLocation& archive, const QString& pn, std::FILE* err) {
    ArchiveConnection connection(archive, ArchiveConnection::Access::Read);
    Result<bool, ArchiveError> tested = connection.isOpen()
                                            ? PnHasTests(connection, pn)
                                            : Result<bool, ArchiveError>(connection.error());
    if (tested && !tested.value())
        std::fprintf(err, "qm4250-archive: warning: the archive holds no test of PN %s\n",
                     EscapedText(pn.toStdString()).c_str());
}

}  // namespace

bool RunLimitsCommand(const ArchiveLocation& archive, const QString& pn,
                      const LimitsArguments& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.upper || arguments.unit) {
        Result<PartLimits, ArchiveError> change = ChangeOf(archive, arguments, pn);
        Result<void, ArchiveError> stored = change ? StorePartLimits(archive, change.value())
                                                   : Result<void, ArchiveError>(change.error());
        if (!stored) {
            std::fprintf(err, "qm4250-archive: limits not stored: %s\n",
                         ShownError(stored.error()).c_str());
            return false;
        }
        WarnOfAnUntestedPn(archive, pn, err);
        std::fprintf(out, "PN %s: %s\n", EscapedText(pn.toStdString()).c_str(),
                     ChangeText(change.value()).c_str());
        return true;
    }
    ArchiveConnection connection(archive, ArchiveConnection::Access::Read);
    Result<std::vector<PartLimits>, ArchiveError> history =
        connection.isOpen() ? PartLimitsHistory(connection, pn)
                            : Result<std::vector<PartLimits>, ArchiveError>(connection.error());
    if (!history) {
        std::fprintf(err, "qm4250-archive: the archive cannot be read: %s\n",
                     ShownError(history.error()).c_str());
        return false;
    }
    const std::vector<PartLimits>& changes = history.value();
    if (changes.empty())
        std::fprintf(out, "PN %s: no limits set\n", EscapedText(pn.toStdString()).c_str());
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        std::string lead = change == changes.rbegin() ? "PN " + EscapedText(pn.toStdString()) + ": "
                                                      : "  before: ";
        std::fprintf(out, "%s%s\n", lead.c_str(), ChangeText(*change).c_str());
    }
    return true;
}

}  // namespace qm4250
