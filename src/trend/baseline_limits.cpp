#include "trend/baseline_limits.h"

#include "archive/change_author.h"

namespace qm4250 {

QString BaselineText(const LimitsBaseline& baseline) {
    if (baseline.firstTests > 0)
        return QString("first %1 tests").arg(baseline.firstTests);
    QString from = baseline.from.isValid() ? baseline.from.toString("yyyy-MM-dd") : "the first";
    QString to = baseline.to.isValid() ? baseline.to.toString("yyyy-MM-dd") : "the last";
    return QString("tests %1 to %2").arg(from, to);
}

Result<FrozenLimits, BaselineRefusal> BaselineLimits(ArchiveConnection& connection,
                                                     const QString& pn,
                                                     const LimitsBaseline& baseline,
                                                     const SelectionJudging& judging) {
    TestFilter filter;
    filter.pns = {pn};
    if (baseline.firstTests == 0) {
        filter.from = baseline.from;
        filter.to = baseline.to;
    }
    Result<SelectedTests, ArchiveError> selected = SelectTestPoints(connection, filter);
    if (!selected)
        return BaselineRefusal(selected.error());
    std::vector<TestPoint>& points = selected.value().points;
    if (baseline.firstTests > 0 && points.size() > baseline.firstTests)
        points.resize(baseline.firstTests);
    std::vector<TestReading> readings;
    for (const TestPoint& point : points)
        readings.push_back(judging.readingOf(point));
    ProcessSeries process = SeriesOfReadings(readings);
    size_t kept = KeptValues(process).size();
    std::optional<ControlLimits> limits = IndividualsLimits(process);
    if (!limits)
        return BaselineRefusal(NoMovingRange{baseline, kept});
    Result<QString, ArchiveError> author = ChangeAuthor(connection);
    if (!author)
        return BaselineRefusal(author.error());
    return FrozenLimits{pn,
                        limits,
                        BaselineText(baseline),
                        static_cast<qint64>(kept),
                        author.value(),
                        QDateTime::currentDateTimeUtc()};
}

}  // namespace qm4250
