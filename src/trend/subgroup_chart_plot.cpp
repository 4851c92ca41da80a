#include "trend/subgroup_chart_plot.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "analysis/subgroup_constants.h"
#include "trend/chart_layers.h"

namespace qm4250 {

namespace {

const QColor kPointColour(30, 70, 160);
// As the individuals chart's, so that charts stacked in the window keep their x in line.
constexpr int kLeftMargin = 86;
constexpr int64_t kSecondsPerDay = 86400;

// In double, so that no time stamp can overflow on its way to the axis.
double TimeX(double seconds) {
    return ChartTime(0) + seconds;
}

void Clear(QCustomPlot& plot) {
    plot.clearPlottables();
    plot.clearItems();
    plot.legend->setVisible(false);
}

// Ticks a whole number of days apart, at midnight: a tick between two days would repeat a date.
class DayTicker : public QCPAxisTickerDateTime {
  protected:
    double getTickStep(const QCPRange& range) override {
        double days = std::round(QCPAxisTickerDateTime::getTickStep(range) / kSecondsPerDay);
        return std::max(1.0, days) * kSecondsPerDay;
    }
};

enum class XScale { Number, Time, Day };

void SetXAxis(QCustomPlot& plot, const QString& label, XScale scale) {
    plot.axisRect()->setAutoMargins(QCP::msTop | QCP::msBottom);
    plot.axisRect()->setMargins(QMargins(kLeftMargin, 0, kLabelMargin, 0));
    if (scale == XScale::Number) {
        plot.xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    } else {
        QSharedPointer<QCPAxisTickerDateTime> ticker =
            scale == XScale::Day ? QSharedPointer<DayTicker>::create()
                                 : QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setDateTimeFormat(scale == XScale::Day ? "yyyy-MM-dd" : "yyyy-MM-dd\nHH:mm");
        ticker->setDateTimeSpec(Qt::UTC);
        plot.xAxis->setTicker(ticker);
    }
    plot.xAxis->setLabel(label);
}

// One chart's points and, for each, its centre line and limits.
struct Lines {
    std::vector<double> y, centre, lower, upper;
    std::vector<bool> beyond;

    void add(double value, double centreLine, double low, double high, bool isBeyond) {
        y.push_back(value);
        centre.push_back(centreLine);
        lower.push_back(low);
        upper.push_back(high);
        beyond.push_back(isBeyond);
    }
};

// A limit the same for every point is a level across the view labelled with its value; one that
// steps with the subgroups' sizes is a step line, labelled once beside its last step.
void AddLimit(QCustomPlot& plot, const QString& name, const std::vector<double>& xs,
              const std::vector<double>& ys, const QPen& pen) {
    if (ys.empty())
        return;
    if (std::all_of(ys.begin(), ys.end(), [&](double y) { return y == ys.front(); })) {
        AddLevel(plot, name, ys.front(), pen);
        return;
    }
    QCPGraph* steps = plot.addGraph();
    steps->setName(name);
    steps->setPen(pen);
    steps->setLineStyle(QCPGraph::lsStepCenter);
    steps->setData(QVector<double>(xs.begin(), xs.end()), QVector<double>(ys.begin(), ys.end()),
                   true);
    steps->removeFromLegend();
    AddLabel(plot, name, ys.back(), name + " (varies)", pen.color());
}

// The points joined in time order, their centre line and limits, and in red every point beyond
// a limit; returns the fitted y range. A lower limit at zero throughout, which nothing can fall
// below, is left out where `zeroFloor` says the values cannot be negative.
AxisRange DrawLines(QCustomPlot& plot, const QString& pointsName, const QString& centreName,
                    const std::vector<double>& xs, const Lines& lines, const AxisRange& x,
                    bool zeroFloor) {
    Clear(plot);
    AddLimit(plot, centreName, xs, lines.centre, QPen(Qt::darkGreen));
    QPen limitPen(Qt::darkRed, 1, Qt::DashLine);
    AddLimit(plot, "UCL", xs, lines.upper, limitPen);
    bool lowerDrawn = !zeroFloor || std::any_of(lines.lower.begin(), lines.lower.end(),
                                                [](double low) { return low > 0; });
    if (lowerDrawn)
        AddLimit(plot, "LCL", xs, lines.lower, limitPen);

    QCPGraph* points = plot.addGraph();
    points->setName(pointsName);
    points->setPen(QPen(kPointColour, 1));
    points->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, kPointColour, 5));
    points->setData(QVector<double>(xs.begin(), xs.end()),
                    QVector<double>(lines.y.begin(), lines.y.end()), true);
    QCPGraph* beyond =
        AddScatter(plot, "beyond a limit",
                   QCPScatterStyle(QCPScatterStyle::ssDisc, QPen(Qt::red), QBrush(Qt::red), 8));
    for (size_t i = 0; i < xs.size(); ++i)
        if (lines.beyond[i])
            beyond->addData(xs[i], lines.y[i]);

    std::vector<double> marks(lines.upper);
    marks.insert(marks.end(), lines.centre.begin(), lines.centre.end());
    if (lowerDrawn)
        marks.insert(marks.end(), lines.lower.begin(), lines.lower.end());
    AxisRange y = PaddedRange(lines.y, marks);
    plot.legend->setVisible(true);
    plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    ShowRange(plot, x, y);
    return y;
}

struct NumericLeaks {
    std::vector<double> values;
    std::vector<int64_t> seconds;
};

NumericLeaks NumericLeaksOf(const std::vector<TestPoint>& tests) {
    NumericLeaks leaks;
    for (const TestPoint& test : tests) {
        if (test.leak && std::isfinite(*test.leak)) {
            leaks.values.push_back(*test.leak);
            leaks.seconds.push_back(test.seconds);
        }
    }
    return leaks;
}

std::vector<Subgroup> GroupsOf(const NumericLeaks& leaks, const SubgroupChoice& choice) {
    if (choice.by == SubgroupBy::Consecutive)
        return ConsecutiveSubgroups(leaks.values, choice.size);
    ShiftCalendar shifts(choice.shiftStarts);
    std::vector<int64_t> keys;
    keys.reserve(leaks.seconds.size());
    for (int64_t seconds : leaks.seconds)
        keys.push_back(choice.by == SubgroupBy::Hour ? HourKey(seconds) : shifts.keyOf(seconds));
    return KeyedSubgroups(keys);
}

QString ClockText(int minutes) {
    return QString("%1:%2")
        .arg(minutes / 60, 2, 10, QChar('0'))
        .arg(minutes % 60, 2, 10, QChar('0'));
}

QString GroupingText(const SubgroupChoice& choice) {
    switch (choice.by) {
        case SubgroupBy::Hour:
            return "subgroups by hour";
        case SubgroupBy::Shift: {
            // Held by name: a range-for over a temporary's member would outlive the temporary.
            const ShiftCalendar calendar(choice.shiftStarts);
            QStringList starts;
            for (int start : calendar.starts())
                starts << ClockText(start);
            return "subgroups by shift (" + starts.join(", ") + ")";
        }
        case SubgroupBy::Consecutive:
            break;
    }
    return QString("subgroups of %1").arg(choice.size);
}

QString SpreadTitle(const SubgroupChoice& choice, size_t leftOut) {
    if (choice.statistic == SpreadStatistic::StandardDeviation)
        return "S chart";
    if (leftOut == 0)
        return "R chart";
    return QString("R chart: %1 of more than %2 tests left out (the S chart takes them)")
        .arg(leftOut == 1 ? QString("1 subgroup") : QString("%1 subgroups").arg(leftOut))
        .arg(kLargestSubgroup);
}

}  // namespace

SubgroupChartSummary DrawSubgroupChart(QCustomPlot& means, QCustomPlot& spread,
                                       const std::vector<TestPoint>& tests,
                                       const SubgroupChoice& choice, const QString& pn,
                                       const QString& unit) {
    NumericLeaks leaks = NumericLeaksOf(tests);
    SubgroupChartSummary summary;
    summary.chart = SubgroupChartOf(leaks.values, GroupsOf(leaks, choice), choice.statistic);
    std::vector<double> xs;
    Lines meanLines, spreadLines;
    if (const std::optional<SubgroupChart>& chart = summary.chart) {
        for (const SubgroupPoint& p : chart->points) {
            xs.push_back(choice.axis == ChartAxis::Time
                             ? TimeX(static_cast<double>(leaks.seconds[p.group.first]))
                             : static_cast<double>(xs.size() + 1));
            meanLines.add(p.mean, chart->grandMean, p.meanLower, p.meanUpper, p.meanBeyond);
            spreadLines.add(p.spread, p.spreadCentre, p.spreadLower, p.spreadUpper, p.spreadBeyond);
        }
        summary.subgroups = chart->points.size();
        summary.meansBeyond = chart->meansBeyond();
        summary.spreadsBeyond = chart->spreadsBeyond();
        summary.leftOut = chart->leftOut;
    }
    summary.x = PaddedRange(xs);
    bool range = choice.statistic == SpreadStatistic::Range;
    summary.meansY = DrawLines(means, "subgroup means", "CL", xs, meanLines, summary.x, false);
    summary.spreadY = DrawLines(spread, range ? "ranges" : "standard deviations",
                                range ? "R-bar" : "s-bar", xs, spreadLines, summary.x, true);

    SetTitle(means, QString::fromUtf8("X̄ chart: PN ") + pn + ", " + GroupingText(choice));
    SetTitle(spread, SpreadTitle(choice, summary.leftOut));
    means.yAxis->setLabel(WithUnit("mean leak", unit));
    spread.yAxis->setLabel(
        WithUnit(range ? "range of leaks" : "standard deviation of leaks", unit));
    bool time = choice.axis == ChartAxis::Time;
    XScale scale = time ? XScale::Time : XScale::Number;
    SetXAxis(means,
             time ? "first test of the subgroup (instrument's clock)"
                  : "subgroup number (in time order)",
             scale);
    SetXAxis(spread, QString(), scale);
    return summary;
}

RejectRateSummary DrawRejectRateChart(QCustomPlot& plot, const std::vector<TestPoint>& tests,
                                      const QString& pn) {
    std::vector<int64_t> days;
    std::vector<bool> rejects;
    days.reserve(tests.size());
    rejects.reserve(tests.size());
    for (const TestPoint& test : tests) {
        days.push_back(DayKey(test.seconds));
        rejects.push_back(test.reject);
    }
    RejectRateSummary summary;
    summary.chart = ProportionChartOf(CountPerKey(days, rejects));
    std::vector<double> xs;
    Lines lines;
    if (const std::optional<ProportionChart>& chart = summary.chart) {
        for (const ProportionPoint& p : chart->points) {
            xs.push_back(TimeX(static_cast<double>(p.count.key) * kSecondsPerDay));
            lines.add(100 * p.rate, 100 * chart->rate, 100 * p.lower, 100 * p.upper, p.beyond);
        }
        summary.days = chart->points.size();
        summary.beyond = chart->beyond();
    }
    summary.x = PaddedRange(xs);
    summary.y = DrawLines(plot, "reject rate", "p-bar", xs, lines, summary.x, true);
    SetTitle(plot, "Reject rate per day: PN " + pn);
    plot.yAxis->setLabel("rejects (% of the day's tests)");
    SetXAxis(plot, "day (instrument's clock)", XScale::Day);
    return summary;
}

}  // namespace qm4250
