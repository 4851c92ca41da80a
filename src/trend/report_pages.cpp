#include "trend/report_pages.h"

#include <qcustomplot.h>

#include <QPdfWriter>
#include <algorithm>
#include <functional>

#include "analysis/part_statistics.h"
#include "trend/chart_layers.h"
#include "trend/control_chart_plot.h"
#include "trend/device_file.h"
#include "trend/judged_selection.h"
#include "trend/listed_names.h"
#include "trend/part_chart.h"
#include "trend/rule_names.h"
#include "trend/statistics_cells.h"

namespace qm4250 {

namespace {

constexpr int kMargin = 32;
constexpr int kHeading = 44;
constexpr int kChartHeight = 330;
constexpr int kMovingRangeHeight = 170;
constexpr int kListLine = 14;
constexpr int kListColumns = 3;
constexpr int kStatisticsLine = 40;  // a line of headers over a line of values
constexpr int kSmallestCell = 54;

// Draws the plot at this size where the painter stands, and moves the painter past it.
void Place(QCPPainter& painter, QCustomPlot& plot, QPoint at, QSize size) {
    painter.save();
    painter.translate(at);
    plot.toPainter(&painter, size.width(), size.height());
    painter.restore();
}

// Each page's title and, under it, where its tests come from and which page of how many it is.
void DrawHeading(QCPPainter& painter, int width, const QString& title, const ReportHeading& heading,
                 int page, int pages) {
    painter.setFont(QFont("Liberation Sans", 12, QFont::Bold));
    painter.drawText(QRect(kMargin, kMargin, width, 20), Qt::AlignLeft | Qt::TextSingleLine, title);
    painter.setFont(QFont("Liberation Sans", 8));
    QRect line(kMargin, kMargin + 22, width, 16);
    painter.drawText(line, Qt::AlignRight | Qt::TextSingleLine,
                     QString("page %1 of %2").arg(page).arg(pages));
    painter.drawText(line.adjusted(0, 0, -90, 0), Qt::AlignLeft | Qt::TextSingleLine,
                     heading.filter + "   ·   archive " + heading.archive + "   ·   report of " +
                         heading.made.toString("yyyy-MM-dd HH:mm"));
}

QFont StatisticsFont() {
    return QFont("Liberation Sans", 8);
}

// A statistic's header over its value, in room enough for both: nothing is cut.
struct StatisticsCell {
    QRect place;
    QString header, value;
};

// The statistics in lines of cells across the page, each line headed by the PN.
std::vector<StatisticsCell> LayOutStatistics(const QFontMetrics& metrics, int top, int width,
                                             const PartStatistics& part) {
    QStringList headers = StatisticsHeaders();
    QStringList values = StatisticsCells(part);
    auto cellWidth = [&](int i) {
        return std::max({kSmallestCell, metrics.horizontalAdvance(headers[i]) + 10,
                         metrics.horizontalAdvance(values[i]) + 10});
    };
    // A PN longer than a quarter of the line wraps within that.
    const int pnWidth = std::min(cellWidth(0), width / 4);
    std::vector<StatisticsCell> cells;
    int x = width, y = top - kStatisticsLine;
    for (int i = 1; i < headers.size(); ++i) {
        if (x + cellWidth(i) > width) {
            y += kStatisticsLine;
            cells.push_back({QRect(kMargin, y, pnWidth, kStatisticsLine), headers[0], values[0]});
            x = pnWidth;
        }
        // A value wider than a whole line wraps within it.
        int room = std::min(cellWidth(i), width - x);
        cells.push_back({QRect(kMargin + x, y, room, kStatisticsLine), headers[i], values[i]});
        x += room;
    }
    return cells;
}

int StatisticsBottom(const std::vector<StatisticsCell>& cells) {
    return cells.empty() ? 0 : cells.back().place.bottom();
}

void DrawStatistics(QCPPainter& painter, const std::vector<StatisticsCell>& cells) {
    painter.setFont(StatisticsFont());
    for (const StatisticsCell& cell : cells) {
        QRect place = cell.place.adjusted(0, 0, -6, 0);
        painter.drawText(place.adjusted(0, 0, 0, -22), Qt::AlignLeft | Qt::TextSingleLine,
                         cell.header);
        painter.drawText(place.adjusted(0, 18, 0, 0), Qt::AlignLeft | Qt::TextWordWrap, cell.value);
    }
}

// The lines listing a chart's rule breaks (each rule a test breaks, a line of its own) and the
// tests left out of its limits, at most kListedAtMost of them, each test named by its Seq# and,
// where the report spans several instruments, its instrument; the archive's error where their
// names cannot be read.
Result<QStringList, ArchiveError> ListLines(ArchiveConnection& connection,
                                            const std::vector<ListedTest>& breaks,
                                            size_t testsBreaking,
                                            const std::vector<ListedTest>& excluded,
                                            const SelectionJudging& judging, const QString& unit,
                                            bool nameInstruments) {
    std::vector<qint64> ids;
    for (const auto* list : {&breaks, &excluded})
        for (size_t i = 0; i < std::min(list->size(), kListedAtMost); ++i)
            ids.push_back((*list)[i].test->id);
    Result<std::map<qint64, TestName>, ArchiveError> read = TestNamesOf(connection, ids);
    if (!read)
        return read.error();
    const std::map<qint64, TestName>& names = read.value();
    auto line = [&](const ListedTest& listed) {
        QString test = "Seq# " + ListedName(names, listed.test->id, nameInstruments);
        QString leak = LimitText(listed.leak) + (unit.isEmpty() ? QString() : " " + unit);
        return QString("%1 · %2 · %3 · %4")
            .arg(test, TestTimeText(listed.test->seconds), leak, listed.what);
    };
    QStringList rules;
    for (RunRule rule : judging.rules)
        rules << RuleName(rule);
    QStringList lines;
    auto add = [&](const QString& heading, const std::vector<ListedTest>& list, size_t count) {
        lines << heading;
        size_t budget = kListedAtMost - std::min(kListedAtMost, size_t(lines.size()));
        for (size_t i = 0; i < std::min(list.size(), budget); ++i)
            lines << line(list[i]);
        if (count > std::min(list.size(), budget))
            lines << QString("… and %1 more lines").arg(count - std::min(list.size(), budget));
    };
    add(QString("Rule breaks (%1): %2 tests")
            .arg(rules.isEmpty() ? QString("no rule on") : rules.join(", "))
            .arg(testsBreaking),
        breaks, breaks.size());
    add(QString("Left out of the limits: %1").arg(excluded.size()), excluded, excluded.size());
    return lines;
}

// How many lines fit from `top` down to `bottom`, in the list's columns.
int ListRoom(int top, int bottom) {
    return kListColumns * std::max(1, (bottom - top) / kListLine);
}

// Fills the lines column by column into the room from `top` down, starting new pages (headed
// by `continued`) while lines are left.
void DrawList(QPdfWriter& pdf, QCPPainter& painter, int top, int width, int bottom,
              const QStringList& lines, const std::function<void()>& continued) {
    painter.setFont(QFont("Liberation Sans", 7));
    const int column = width / kListColumns;
    int at = 0;
    while (at < lines.size()) {
        int rows = std::max(1, (bottom - top) / kListLine);
        for (int c = 0; c < kListColumns && at < lines.size(); ++c)
            for (int r = 0; r < rows && at < lines.size(); ++r, ++at) {
                QRect place(kMargin + c * column, top + r * kListLine, column - 8, kListLine);
                painter.drawText(
                    place, Qt::AlignLeft | Qt::TextSingleLine,
                    painter.fontMetrics().elidedText(lines[at], Qt::ElideRight, place.width()));
            }
        if (at < lines.size()) {
            pdf.newPage();
            continued();
            painter.setFont(QFont("Liberation Sans", 7));
            top = kMargin + kHeading;
        }
    }
}

// A part number's pages, worked out before any is drawn so that each can say how many there are.
struct PartPages {
    PnCount part;
    std::vector<TestPoint> tests;
    PartStatistics statistics;
    QStringList lines;
    int pages = 1;
};

// The report's pages drawn into the device: whether the painter could draw on it, or why a
// listed test's name could not be read.
Result<bool, ArchiveError> DrawReport(QIODevice& device, ArchiveConnection& connection,
                                      const SelectedTests& selected,
                                      const SelectionJudging& judging, const ReportHeading& heading,
                                      ChartAxis axis, bool severalInstruments) {
    QPdfWriter pdf(&device);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(96);
    pdf.setTitle("QM4250 Test Archive report");
    // The page as the painter will have it: the file is opened only once every list is read.
    const QRect page(0, 0, pdf.width(), pdf.height());
    const int width = page.width() - 2 * kMargin;
    const int bottom = page.height() - kMargin;
    const int top = kMargin + kHeading;
    const int statisticsTop = top + kChartHeight + kMovingRangeHeight + 12;
    const QFontMetrics statisticsMetrics(StatisticsFont(), &pdf);

    std::vector<std::vector<TestPoint>> testsByPart = TestsByPart(selected);
    std::vector<PartPages> parts;
    int pages = 0;
    for (const PnCount& part : PnsByCount(selected)) {
        PartPages pagesOf{part, std::move(testsByPart[part.part]), {}, {}, 1};
        ChartSeries series = SeriesOf(pagesOf.tests, axis);
        ChartView view = judging.viewOf(series, part.pn, axis, {});
        ChartJudgement judged = JudgeChart(ProcessOf(series, view), view.frozen, view.rules);
        ChartSummary summary;
        summary.breaks = std::move(judged.breaks);
        Result<QStringList, ArchiveError> lines =
            ListLines(connection, BreakList(series, summary, kListedAtMost), judged.pointsBroken,
                      ExclusionList(series, judging), judging, view.unit, severalInstruments);
        if (!lines)
            return lines.error();
        pagesOf.lines = std::move(lines.value());
        std::vector<TestReading> readings;
        for (const TestPoint& point : pagesOf.tests)
            readings.push_back(judging.readingOf(point));
        pagesOf.statistics = judging.statisticsOf(part.pn, readings);
        int listTop = StatisticsBottom(LayOutStatistics(statisticsMetrics, statisticsTop, width,
                                                        pagesOf.statistics)) +
                      8;
        int beyond =
            std::max(0, static_cast<int>(pagesOf.lines.size()) - ListRoom(listTop, bottom));
        int room = ListRoom(top, bottom);
        pagesOf.pages += (beyond + room - 1) / room;
        pages += pagesOf.pages;
        parts.push_back(std::move(pagesOf));
    }

    QCPPainter painter;
    if (!painter.begin(&pdf))
        return false;
    QCustomPlot chart, movingRange, histogram;
    const QSize chartSize(width * 2 / 3, kChartHeight);
    const QSize movingRangeSize(width * 2 / 3, kMovingRangeHeight);
    const QSize histogramSize(width - chartSize.width() - 8, kChartHeight + kMovingRangeHeight);
    chart.resize(chartSize);
    movingRange.resize(movingRangeSize);
    histogram.resize(histogramSize);
    int pageNumber = 0;
    for (PartPages& part : parts) {
        if (pageNumber > 0)
            pdf.newPage();
        const QString& pn = part.part.pn;
        QString title = "QM4250 Test Archive: PN " + pn;
        DrawHeading(painter, width, title, heading, ++pageNumber, pages);
        ChartedPart charted =
            DrawPartChart({chart, movingRange, histogram}, PartTests(std::move(part.tests)), pn,
                          judging, axis, "Individuals: PN " + pn);
        Place(painter, chart, {kMargin, top}, chartSize);
        Place(painter, movingRange, {kMargin, top + kChartHeight}, movingRangeSize);
        Place(painter, histogram, {kMargin + chartSize.width() + 8, top}, histogramSize);
        std::vector<StatisticsCell> cells =
            LayOutStatistics(statisticsMetrics, statisticsTop, width, part.statistics);
        DrawStatistics(painter, cells);
        DrawList(pdf, painter, StatisticsBottom(cells) + 8, width, bottom, part.lines, [&] {
            DrawHeading(painter, width, title + ", continued", heading, ++pageNumber, pages);
        });
    }
    return painter.end();
}

}  // namespace

Result<void, ExportFailure> WriteReport(const QString& path, ArchiveConnection& connection,
                                        const SelectedTests& selected,
                                        const SelectionJudging& judging,
                                        const ReportHeading& heading, ChartAxis axis,
                                        bool severalInstruments) {
    std::optional<ArchiveError> notRead;
    Result<void> written = SaveThroughDevice(path, [&](QIODevice& device) {
        Result<bool, ArchiveError> drawn =
            DrawReport(device, connection, selected, judging, heading, axis, severalInstruments);
        if (!drawn)
            notRead = drawn.error();
        return drawn && drawn.value();
    });
    if (notRead)
        return ExportFailure(*notRead);
    if (!written)
        return ExportFailure(written.error());
    return {};
}

QString FilterDescription(const TestFilter& filter) {
    QStringList parts;
    if (!filter.instrument.isEmpty())
        parts << "instrument " + filter.instrument;
    if (!filter.pns.isEmpty())
        parts << "PN " + filter.pns.join(", ");
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

}  // namespace qm4250
