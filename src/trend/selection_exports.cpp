#include "trend/selection_exports.h"

#include <qcustomplot.h>

#include <QFile>
#include <QSvgGenerator>
#include <map>
#include <variant>
#include <vector>

#include "archive/schema.h"
#include "archive/selection_export.h"
#include "trend/listed_names.h"
#include "trend/report_pages.h"
#include "trend/rule_names.h"
#include "trend/statistics_workbook.h"

namespace qm4250 {

SelectionExports::SelectionExports(const ArchiveLocation& location, ArchiveConnection& connection,
                                   const JudgedSelection& selection)
    : location_(location), connection_(connection), selection_(selection) {}

ExportOutcome SelectionExports::tests(const TestFilter& filter, const QString& path) const {
    SelectionExport exported =
        ExportSelection(location_, filter, QFile::encodeName(path).toStdString());
    return {exported.notRead, exported.saved, exported.tests, 0, exported.unwritable};
}

ExportOutcome SelectionExports::statistics(const QString& path) const {
    const ChartedPart& charted = selection_.charted;
    std::vector<qint64> ids;
    for (const TestPoint& point : charted.points.tests)
        ids.push_back(point.id);
    std::variant<std::map<qint64, TestName>, ArchiveError> names = TestNamesOf(connection_, ids);
    if (auto* error = std::get_if<ArchiveError>(&names))
        return {*error, false, 0, 0};
    std::map<const TestPoint*, QStringList> broken;
    for (const RunRuleBreak& rule : charted.summary.breaks)
        broken[charted.series.source[rule.index]] << RuleName(rule.rule);
    const std::map<qint64, Exclusion>& exclusions = selection_.judging.exclusions;
    std::vector<ChartDataRow> rows;
    for (const TestPoint& point : charted.points.tests) {
        auto excluded = exclusions.find(point.id);
        rows.push_back({selection_.selected.pns[point.part],
                        ListedName(std::get<0>(names), point.id, false), point.seconds, point.leak,
                        point.reject, broken[&point].join(", "),
                        excluded == exclusions.end() ? QString() : excluded->second.reason});
    }
    std::vector<PartStatistics> parts = StatisticsPerPart(selection_.selected, selection_.judging);
    return {std::nullopt, WriteStatisticsWorkbook(path, parts, rows), rows.size(), parts.size()};
}

ExportOutcome SelectionExports::report(const QString& path, const TestFilter& filter,
                                       ChartAxis axis) const {
    if (selection_.selected.points.empty())
        return {};
    std::variant<size_t, ArchiveError> instruments = InstrumentCount(connection_, filter);
    if (auto* error = std::get_if<ArchiveError>(&instruments))
        return {*error, false, 0, 0};
    std::variant<bool, ArchiveError> written =
        WriteReport(path, connection_, selection_.selected, selection_.judging,
                    {FilterDescription(filter), location_.display(), QDateTime::currentDateTime()},
                    axis, std::get<size_t>(instruments) > 1);
    if (auto* error = std::get_if<ArchiveError>(&written))
        return {*error, false, 0, 0};
    return {std::nullopt, std::get<bool>(written), selection_.selected.points.size(),
            selection_.selected.pns.size()};
}

ExportOutcome SelectionExports::chart(QCustomPlot& chart, const QString& path) {
    if (!path.endsWith(".svg", Qt::CaseInsensitive))
        return {std::nullopt, chart.savePng(path, chart.width(), chart.height())};
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(chart.size());
    svg.setViewBox(QRect(QPoint(0, 0), chart.size()));
    svg.setTitle("QM4250 control chart");
    QCPPainter painter;
    if (!painter.begin(&svg))
        return {};
    chart.toPainter(&painter, chart.width(), chart.height());
    return {std::nullopt, painter.end()};
}

std::optional<QString> WriteArchiveReport(const ArchiveLocation& location, const TestFilter& filter,
                                          const std::vector<RunRule>& rules, const QString& path) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    if (!connection.isOpen())
        return ArchiveErrorText(connection.error());
    if (std::optional<ArchiveError> unreadable = CheckReadable(connection))
        return ArchiveErrorText(*unreadable);
    SelectionJudging choices;
    choices.rules = rules;
    std::variant<JudgedSelection, SelectionNotRead> judged =
        SelectAndJudge(connection, filter, choices);
    if (auto* notRead = std::get_if<SelectionNotRead>(&judged))
        return ArchiveErrorText(notRead->error);
    if (std::get<JudgedSelection>(judged).selected.points.empty())
        return "no tests selected";
    ExportOutcome outcome =
        SelectionExports(location, connection, std::get<JudgedSelection>(judged))
            .report(path, filter, ChartAxis::SampleNumber);
    if (outcome.notRead)
        return ArchiveErrorText(*outcome.notRead);
    if (!outcome.written)
        return "cannot write " + path;
    return std::nullopt;
}

}  // namespace qm4250
