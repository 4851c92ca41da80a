#include "trend/selection_exports.h"

#include <qcustomplot.h>

#include <QFile>
#include <QSvgGenerator>
#include <map>
#include <variant>
#include <vector>

#include "archive/schema.h"
#include "trend/device_file.h"
#include "trend/listed_names.h"
#include "trend/report_pages.h"
#include "trend/rule_names.h"
#include "trend/statistics_workbook.h"

namespace qm4250 {

SelectionExports::SelectionExports(const ArchiveLocation& location, ArchiveConnection& connection,
                                   const JudgedSelection& selection)
    : location_(location), connection_(connection), selection_(selection) {}

ExportResult SelectionExports::tests(const TestFilter& filter, const QString& path) const {
    Result<size_t, ExportFailure> exported =
        ExportSelection(location_, filter, QFile::encodeName(path).toStdString());
    if (!exported)
        return exported.error();
    return ExportCounts{exported.value(), 0};
}

ExportResult SelectionExports::statistics(const QString& path) const {
    const ChartedPart& charted = selection_.charted;
    std::vector<qint64> ids;
    for (const TestPoint& point : charted.points.tests)
        ids.push_back(point.id);
    Result<std::map<qint64, TestName>, ArchiveError> names = TestNamesOf(connection_, ids);
    if (!names)
        return ExportFailure(names.error());
    std::map<const TestPoint*, QStringList> broken;
    for (const RunRuleBreak& rule : charted.summary.breaks)
        broken[charted.series.source[rule.index]] << RuleName(rule.rule);
    const std::map<qint64, Exclusion>& exclusions = selection_.judging.exclusions;
    std::vector<ChartDataRow> rows;
    for (const TestPoint& point : charted.points.tests) {
        auto excluded = exclusions.find(point.id);
        rows.push_back({selection_.selected.pns[point.part],
                        ListedName(names.value(), point.id, false), point.seconds, point.leak,
                        point.reject, broken[&point].join(", "),
                        excluded == exclusions.end() ? QString() : excluded->second.reason});
    }
    std::vector<PartStatistics> parts = StatisticsPerPart(selection_.selected, selection_.judging);
    if (Result<void> written = WriteStatisticsWorkbook(path, parts, rows); !written)
        return ExportFailure(written.error());
    return ExportCounts{rows.size(), parts.size()};
}

ExportResult SelectionExports::report(const QString& path, const TestFilter& filter,
                                      ChartAxis axis) const {
    if (selection_.selected.points.empty())
        return ExportFailure(
            Failure{Failure::Kind::NothingToWrite, 0, QFile::encodeName(path).toStdString()});
    Result<size_t, ArchiveError> instruments = InstrumentCount(connection_, filter);
    if (!instruments)
        return ExportFailure(instruments.error());
    Result<void, ExportFailure> written =
        WriteReport(path, connection_, selection_.selected, selection_.judging,
                    {FilterDescription(filter), location_.display(), QDateTime::currentDateTime()},
                    axis, instruments.value() > 1);
    if (!written)
        return written.error();
    return ExportCounts{selection_.selected.points.size(), selection_.selected.pns.size()};
}

Result<void> SelectionExports::chart(QCustomPlot& chart, const QString& path) {
    if (!path.endsWith(".svg", Qt::CaseInsensitive))
        return SaveThroughDevice(path, [&chart](QIODevice& device) {
            // As QCustomPlot's savePng saves: the chart's size, at 96 dots per inch.
            constexpr int kDotsPerMeter = 3780;
            QImage image = chart.toPixmap(chart.width(), chart.height()).toImage();
            image.setDotsPerMeterX(kDotsPerMeter);
            image.setDotsPerMeterY(kDotsPerMeter);
            return image.save(&device, "PNG");
        });
    return SaveThroughDevice(path, [&chart](QIODevice& device) {
        QSvgGenerator svg;
        svg.setOutputDevice(&device);
        svg.setSize(chart.size());
        svg.setViewBox(QRect(QPoint(0, 0), chart.size()));
        svg.setTitle("QM4250 control chart");
        QCPPainter painter;
        if (!painter.begin(&svg))
            return false;
        chart.toPainter(&painter, chart.width(), chart.height());
        return painter.end();
    });
}

Result<void, ExportFailure> WriteArchiveReport(const ArchiveLocation& location,
                                               const TestFilter& filter,
                                               const std::vector<RunRule>& rules,
                                               const QString& path) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    if (!connection.isOpen())
        return ExportFailure(connection.error());
    if (Result<void, ArchiveError> readable = CheckReadable(connection); !readable)
        return ExportFailure(readable.error());
    SelectionJudging choices;
    choices.rules = rules;
    std::variant<JudgedSelection, SelectionNotRead> judged =
        SelectAndJudge(connection, filter, choices);
    if (auto* notRead = std::get_if<SelectionNotRead>(&judged))
        return ExportFailure(notRead->error);
    ExportResult reported =
        SelectionExports(location, connection, std::get<JudgedSelection>(judged))
            .report(path, filter, ChartAxis::SampleNumber);
    if (!reported)
        return reported.error();
    return {};
}

}  // namespace qm4250
