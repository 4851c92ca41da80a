#include "trend/report_pages.h"

#include <qcustomplot.h>

#include <QPdfWriter>
#include <algorithm>

#include "analysis/part_statistics.h"
#include "archive/schema.h"
#include "trend/control_chart_plot.h"
#include "trend/statistics_cells.h"

namespace qm4250 {

namespace {

constexpr int kMargin = 32;
constexpr int kChartHeight = 370;
constexpr int kMovingRangeHeight = 200;
// The statistics in blocks of this many columns, a header line and a value line each.
constexpr int kStatisticsColumns = 11;

struct Part {
    QString pn;
    std::vector<TestPoint> points;
};

// Most tests first, then by PN.
std::vector<Part> PartsOf(const SelectedTests& selected) {
    std::vector<Part> parts;
    for (const QString& pn : selected.pns)
        parts.push_back({pn, {}});
    for (const TestPoint& point : selected.points)
        parts[point.part].points.push_back(point);
    std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
        return a.points.size() != b.points.size() ? a.points.size() > b.points.size() : a.pn < b.pn;
    });
    return parts;
}

PartStatistics StatisticsOf(const Part& part, const std::optional<ToleranceLimits>& tolerance) {
    std::vector<double> leaks;
    size_t rejects = 0;
    for (const TestPoint& point : part.points) {
        if (point.leak) {
            leaks.push_back(*point.leak);
            rejects += point.reject;
        }
    }
    return StatisticsOfPart(part.pn.toStdString(), leaks, rejects, tolerance);
}

// Draws the plot at this size where the painter stands, and moves the painter past it.
void Place(QCPPainter& painter, QCustomPlot& plot, QPoint at, QSize size) {
    painter.save();
    painter.translate(at);
    plot.toPainter(&painter, size.width(), size.height());
    painter.restore();
}

void DrawHeading(QCPPainter& painter, int width, const QString& title,
                 const ReportHeading& heading) {
    painter.setFont(QFont("Liberation Sans", 12, QFont::Bold));
    painter.drawText(QRect(kMargin, kMargin, width, 20), Qt::AlignLeft | Qt::TextSingleLine, title);
    painter.setFont(QFont("Liberation Sans", 8));
    painter.drawText(QRect(kMargin, kMargin + 22, width, 16), Qt::AlignLeft | Qt::TextSingleLine,
                     heading.filter + "   ·   archive " + heading.archive + "   ·   report of " +
                         heading.made.toString("yyyy-MM-dd HH:mm"));
}

void DrawStatistics(QCPPainter& painter, int top, int width, const PartStatistics& part) {
    QStringList headers = StatisticsHeaders();
    QStringList cells = StatisticsCells(part);
    // The PN heads every block and takes two columns' room: part numbers are long.
    int column = width / (kStatisticsColumns + 2);
    painter.setFont(QFont("Liberation Sans", 8));
    auto draw = [&](int slot, int y, int span, const QString& header, const QString& cell) {
        QRect place(kMargin + slot * column, y, span * column - 4, 16);
        painter.drawText(place, Qt::AlignLeft | Qt::TextSingleLine, header);
        painter.drawText(place.translated(0, 18), Qt::AlignLeft | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(cell, Qt::ElideRight, place.width()));
    };
    for (int first = 1, y = top; first < headers.size(); first += kStatisticsColumns, y += 40) {
        draw(0, y, 2, headers[0], cells[0]);
        for (int i = first; i < std::min<int>(first + kStatisticsColumns, headers.size()); ++i)
            // The last takes the rest of its line: its header is the longest.
            draw(2 + i - first, y, i == headers.size() - 1 ? kStatisticsColumns - (i - first) : 1,
                 headers[i], cells[i]);
    }
}

}  // namespace

bool WriteReport(const QString& path, const SelectedTests& selected,
                 const std::map<QString, PartLimits>& tolerances, const ReportHeading& heading,
                 ChartAxis axis) {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(96);
    pdf.setTitle("QM4250 Test Archive report");
    QCPPainter painter;
    if (!painter.begin(&pdf))
        return false;
    const QRect page = painter.viewport();
    const int width = page.width() - 2 * kMargin;
    std::vector<Part> parts = PartsOf(selected);
    if (parts.empty())
        DrawHeading(painter, width, "QM4250 Test Archive: no tests selected", heading);
    QCustomPlot chart, movingRange, histogram;
    const QSize chartSize(width * 2 / 3, kChartHeight);
    const QSize movingRangeSize(width * 2 / 3, kMovingRangeHeight);
    const QSize histogramSize(width - chartSize.width() - 8, kChartHeight + kMovingRangeHeight);
    chart.resize(chartSize);
    movingRange.resize(movingRangeSize);
    histogram.resize(histogramSize);
    for (const Part& part : parts) {
        if (&part != &parts.front())
            pdf.newPage();
        DrawHeading(painter, width, "QM4250 Test Archive: PN " + part.pn, heading);
        ChartSeries series = SeriesOf(part.points, axis);
        auto standing = tolerances.find(part.pn);
        std::optional<ToleranceLimits> tolerance;
        if (standing != tolerances.end())
            tolerance = ToleranceLimits{standing->second.lower, standing->second.upper};
        ChartSummary summary = DrawControlChart(chart, movingRange, series, axis,
                                                "Individuals: PN " + part.pn, tolerance);
        DrawHistogram(histogram, series.y, summary);
        const int top = kMargin + 44;
        Place(painter, chart, {kMargin, top}, chartSize);
        Place(painter, movingRange, {kMargin, top + kChartHeight}, movingRangeSize);
        Place(painter, histogram, {kMargin + chartSize.width() + 8, top}, histogramSize);
        DrawStatistics(painter, top + kChartHeight + kMovingRangeHeight + 12, width,
                       StatisticsOf(part, tolerance));
    }
    return painter.end();
}

QString FilterDescription(const TestFilter& filter) {
    QStringList parts;
    if (!filter.instrument.isEmpty())
        parts << "instrument " + filter.instrument;
    if (!filter.pn.isEmpty())
        parts << "PN " + filter.pn;
    if (!filter.custCode.isEmpty())
        parts << "Cust Code " + filter.custCode;
    if (filter.from.isValid())
        parts << "from " + filter.from.toString("yyyy-MM-dd");
    if (filter.to.isValid())
        parts << "to " + filter.to.toString("yyyy-MM-dd");
    if (filter.rejectsOnly)
        parts << "rejects only";
    if (!filter.search.isEmpty())
        parts << "Seq# or Cust Code containing " + filter.search;
    return parts.isEmpty() ? "all tests" : parts.join(", ");
}

std::optional<QString> WriteArchiveReport(const ArchiveLocation& location, const TestFilter& filter,
                                          const QString& path) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    if (!connection.isOpen())
        return ArchiveErrorText(connection.error());
    if (std::optional<ArchiveError> unreadable = CheckReadable(connection))
        return ArchiveErrorText(*unreadable);
    std::variant<SelectedTests, ArchiveError> selected = SelectTestPoints(connection, filter);
    if (auto* error = std::get_if<ArchiveError>(&selected))
        return ArchiveErrorText(*error);
    std::variant<std::map<QString, PartLimits>, ArchiveError> tolerances =
        StandingPartLimits(connection, std::get<SelectedTests>(selected).pns);
    if (auto* error = std::get_if<ArchiveError>(&tolerances))
        return ArchiveErrorText(*error);
    if (!WriteReport(path, std::get<SelectedTests>(selected),
                     std::get<std::map<QString, PartLimits>>(tolerances),
                     {FilterDescription(filter), location.display(), QDateTime::currentDateTime()},
                     ChartAxis::SampleNumber))
        return "cannot write " + path;
    return std::nullopt;
}

}  // namespace qm4250
