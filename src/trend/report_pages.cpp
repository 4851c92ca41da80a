#include "trend/report_pages.h"

#include <qcustomplot.h>

#include <QPdfWriter>
#include <algorithm>
#include <functional>

#include "analysis/part_statistics.h"
#include "trend/chart_layers.h"
#include "trend/control_chart_plot.h"
#include "trend/judged_selection.h"
#include "trend/rule_names.h"
#include "trend/statistics_cells.h"

namespace qm4250 {

namespace {

constexpr int kMargin = 32;
constexpr int kChartHeight = 330;
constexpr int kMovingRangeHeight = 170;
constexpr int kListLine = 14;
constexpr int kListColumns = 3;
// The statistics in blocks of this many columns, a header line and a value line each.
constexpr int kStatisticsColumns = 11;

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
    // The PN heads every block and takes two columns' room: part numbers are long; the last
    // cell takes two as well.
    int column = width / (kStatisticsColumns + 3);
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
            draw(2 + i - first, y,
                 i == headers.size() - 1 ? kStatisticsColumns + 1 - (i - first) : 1, headers[i],
                 cells[i]);
    }
}

// The lines listing a chart's rule breaks and the tests left out of its limits, at most
// kListedAtMost of them, each test named by its Seq#.
QStringList ListLines(ArchiveConnection& connection, const std::vector<ListedTest>& breaks,
                      size_t breakCount, const std::vector<ListedTest>& excluded,
                      const SelectionJudging& judging) {
    std::vector<qint64> ids;
    for (const auto* list : {&breaks, &excluded})
        for (size_t i = 0; i < std::min(list->size(), kListedAtMost); ++i)
            ids.push_back((*list)[i].test->id);
    std::map<qint64, QString> seqs;
    if (auto read = SeqNumbersOf(connection, ids); read.index() == 0)
        seqs = std::move(std::get<0>(read));
    auto line = [&](const ListedTest& listed) {
        auto seq = seqs.find(listed.test->id);
        return QString("Seq# %1 · %2 · %3 · %4")
            .arg(seq == seqs.end() ? "?" : seq->second, TestTimeText(listed.test->seconds),
                 LimitText(listed.leak), listed.what);
    };
    QStringList rules;
    for (RunRule rule : judging.rules)
        rules << RuleName(rule);
    QStringList lines;
    auto add = [&](const QString& heading, const std::vector<ListedTest>& list, size_t count) {
        lines << heading.arg(count);
        size_t budget = kListedAtMost - std::min(kListedAtMost, size_t(lines.size()));
        for (size_t i = 0; i < std::min(list.size(), budget); ++i)
            lines << line(list[i]);
        if (count > std::min(list.size(), budget))
            lines << QString("… and %1 more").arg(count - std::min(list.size(), budget));
    };
    add("Rule breaks (" + (rules.isEmpty() ? QString("no rule on") : rules.join(", ")) + "): %1",
        breaks, breakCount);
    add("Left out of the limits: %1", excluded, excluded.size());
    return lines;
}

// Fills the lines column by column into the room from `top` down, starting new pages (headed
// `continued`) while lines are left.
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
            top = kMargin + 44;
        }
    }
}

}  // namespace

bool WriteReport(const QString& path, ArchiveConnection& connection, const SelectedTests& selected,
                 const SelectionJudging& judging, const ReportHeading& heading, ChartAxis axis) {
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
    std::vector<PnCount> parts = PnsByCount(selected);
    if (parts.empty())
        DrawHeading(painter, width, "QM4250 Test Archive: no tests selected", heading);
    std::vector<std::vector<TestPoint>> tests = TestsByPart(selected);
    QCustomPlot chart, movingRange, histogram;
    const QSize chartSize(width * 2 / 3, kChartHeight);
    const QSize movingRangeSize(width * 2 / 3, kMovingRangeHeight);
    const QSize histogramSize(width - chartSize.width() - 8, kChartHeight + kMovingRangeHeight);
    chart.resize(chartSize);
    movingRange.resize(movingRangeSize);
    histogram.resize(histogramSize);
    for (const PnCount& part : parts) {
        if (&part != &parts.front())
            pdf.newPage();
        QString title = "QM4250 Test Archive: PN " + part.pn;
        DrawHeading(painter, width, title, heading);
        ChartedPart charted =
            DrawPartChart({chart, movingRange, histogram}, std::move(tests[part.part]), part.pn,
                          judging, axis, "Individuals: PN " + part.pn);
        const int top = kMargin + 44;
        Place(painter, chart, {kMargin, top}, chartSize);
        Place(painter, movingRange, {kMargin, top + kChartHeight}, movingRangeSize);
        Place(painter, histogram, {kMargin + chartSize.width() + 8, top}, histogramSize);
        std::vector<const TestPoint*> pointers;
        for (const TestPoint& point : charted.points)
            pointers.push_back(&point);
        const int statisticsTop = top + kChartHeight + kMovingRangeHeight + 12;
        DrawStatistics(painter, statisticsTop, width, judging.statisticsOf(part.pn, pointers));
        DrawList(pdf, painter, statisticsTop + 84, width, page.height() - kMargin,
                 ListLines(connection, BreakList(charted.series, charted.summary, kListedAtMost),
                           charted.summary.breaks.size(), ExclusionList(charted.series, judging),
                           judging),
                 [&] { DrawHeading(painter, width, title + ", continued", heading); });
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

}  // namespace qm4250
