#include "trend/chart_panel.h"

#include <qcustomplot.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <utility>
#include <vector>

#include "analysis/subgroup_constants.h"
#include "trend/chart_layers.h"
#include "trend/exclusion_dialog.h"
#include "trend/failure_texts.h"
#include "trend/listed_names.h"
#include "trend/rule_names.h"
#include "trend/subgroup_chart_plot.h"

namespace qm4250 {

namespace {

// What the chart shows: the individuals chart, which the rules, the lists and the report judge
// by, or in its place subgroup charts or the reject rate per day.
enum class ChartType { Individuals, MeanRange, MeanDeviation, RejectRate };

// Shift start times as "06:00 14:00 22:00"; none when a word is not a time of day.
std::optional<std::vector<int>> ShiftStartsOf(const QString& text) {
    std::vector<int> starts;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        QTime time = QTime::fromString(word, "H:mm");
        if (!time.isValid())
            return std::nullopt;
        starts.push_back(time.hour() * 60 + time.minute());
    }
    return starts;
}

QCustomPlot* Plot(QWidget* parent, const char* name, int height) {
    auto* plot = new QCustomPlot(parent);
    plot->setObjectName(name);
    plot->setMinimumSize(300, height);
    return plot;
}

// The test a point is, as the operator knows it: "Seq# 4 of 4711, PN A12, 2026-12-01 06:30:00".
Result<QString, ArchiveError> PointName(ArchiveConnection& connection, const TestPoint& test,
                                        const QString& pn) {
    Result<std::map<qint64, TestName>, ArchiveError> read = TestNamesOf(connection, {test.id});
    if (!read)
        return read.error();
    return QString("Seq# %1, PN %2, %3")
        .arg(ListedName(read.value(), test.id, true), pn, TestTimeText(test.seconds));
}

// A point's fields as its tooltip starts, or why the archive cannot give them.
QString DetailsText(const Result<QString, ArchiveError>& details) {
    if (!details)
        return NotReadText(details.error());
    const QString& fields = details.value();
    return fields.isEmpty() ? QString("Seq# ") + kDeletedTest : fields;
}

}  // namespace

ChartPanel::ChartPanel(JudgedSelection& selection, ArchiveConnection& connection, QWidget* parent)
    : QWidget(parent), selection_(selection), connection_(connection) {
    auto* grid = grid_ = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(buildControls(), 0, 0, 1, 2);
    // Small enough for the window to fit a 1280 x 720 screen; they grow with it.
    chart_ = Plot(this, "controlChart", 160);
    chart_->setMouseTracking(true);
    connect(chart_, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* event) { showPointAt(event->pos()); });
    connect(chart_, &QCustomPlot::mouseDoubleClick, this, &ChartPanel::resetView);
    // The wheel zooms both axes, with Ctrl the leak axis alone: the process stays where it is
    // while the leaks spread apart.
    connect(chart_, &QCustomPlot::mouseWheel, this, [this](QWheelEvent* event) {
        chart_->axisRect()->setRangeZoom(event->modifiers() & Qt::ControlModifier
                                             ? Qt::Vertical
                                             : Qt::Horizontal | Qt::Vertical);
    });
    chart_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart_, &QWidget::customContextMenuRequested, this, &ChartPanel::offerPointMenu);
    connect(new QShortcut(QKeySequence("Ctrl+0"), this), &QShortcut::activated, this,
            &ChartPanel::resetView);
    movingRange_ = Plot(this, "movingRangeChart", 80);
    // One x axis for both charts: a zoom or drag of either moves the other.
    connect(chart_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), movingRange_,
            [this](const QCPRange& range) {
                movingRange_->xAxis->setRange(range);
                movingRange_->replot();
            });
    histogram_ = Plot(this, "histogram", 240);
    grid->addWidget(chart_, 2, 0);
    grid->addWidget(movingRange_, 3, 0);
    grid->addWidget(histogram_, 2, 1, 2, 1);
    grid->setColumnStretch(0, 5);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(2, 2);
    grid->setRowStretch(3, 1);
}

QWidget* ChartPanel::buildControls() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    chartPn_ = new QComboBox(row);
    chartPn_->setObjectName("chartPn");
    chartPn_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(chartPn_, &QComboBox::activated, this, [this] {
        chosenPn_ = chartPn_->currentData();
        pnChosen_ = true;
        draw();
    });
    chartAxis_ = new QComboBox(row);
    chartAxis_->setObjectName("chartAxis");
    chartAxis_->addItem("x: sample number", static_cast<int>(ChartAxis::SampleNumber));
    chartAxis_->addItem("x: time", static_cast<int>(ChartAxis::Time));
    chartType_ = new QComboBox(row);
    chartType_->setObjectName("chartType");
    chartType_->addItem("Individuals and moving range", static_cast<int>(ChartType::Individuals));
    chartType_->addItem("X̄ and R", static_cast<int>(ChartType::MeanRange));
    chartType_->addItem("X̄ and S", static_cast<int>(ChartType::MeanDeviation));
    chartType_->addItem("Reject rate per day (p)", static_cast<int>(ChartType::RejectRate));
    subgroupBy_ = new QComboBox(row);
    subgroupBy_->setObjectName("subgroupBy");
    subgroupBy_->addItem("subgroups of n in a row", static_cast<int>(SubgroupBy::Consecutive));
    subgroupBy_->addItem("a subgroup per hour", static_cast<int>(SubgroupBy::Hour));
    subgroupBy_->addItem("a subgroup per shift", static_cast<int>(SubgroupBy::Shift));
    subgroupSize_ = new QSpinBox(row);
    subgroupSize_->setObjectName("subgroupSize");
    subgroupSize_->setRange(kSmallestSubgroup, kLargestSubgroup);
    subgroupSize_->setValue(5);
    subgroupSize_->setPrefix("n = ");
    shiftStarts_ = new QLineEdit("06:00 14:00 22:00", row);
    shiftStarts_->setObjectName("shiftStarts");
    shiftStarts_->setToolTip("Shift start times, HH:MM, on the instrument's clock");
    for (QComboBox* box : {chartAxis_, chartType_, subgroupBy_})
        connect(box, &QComboBox::activated, this, &ChartPanel::draw);
    connect(subgroupSize_, &QSpinBox::valueChanged, this, &ChartPanel::draw);
    connect(shiftStarts_, &QLineEdit::editingFinished, this, &ChartPanel::draw);
    auto* label = new QLabel("&Chart of", row);
    label->setBuddy(chartPn_);
    layout->addWidget(label);
    for (QWidget* control : std::initializer_list<QWidget*>{
             chartPn_, chartAxis_, chartType_, subgroupBy_, subgroupSize_, shiftStarts_})
        layout->addWidget(control);
    layout->addStretch();
    auto* reset = new QPushButton("Reset &view", row);
    reset->setObjectName("resetView");
    connect(reset, &QPushButton::clicked, this, &ChartPanel::resetView);
    layout->addWidget(reset);
    return row;
}

void ChartPanel::addControls(QWidget* controls) {
    grid_->addWidget(controls, 1, 0, 1, 2);
}

void ChartPanel::showPns() {
    std::vector<PnCount> pns = PnsByCount(selection_.selected);
    chartPn_->clear();
    for (const PnCount& pn : pns)
        chartPn_->addItem(QString("PN %1 (%2 tests)").arg(pn.pn).arg(pn.tests), pn.pn);
    if (pns.size() > 1)
        chartPn_->addItem(QString("All %1 part numbers, limits pooled").arg(pns.size()));
    int index = -1;
    if (pnChosen_)
        index = chosenPn_.isNull() ? (pns.size() > 1 ? chartPn_->count() - 1 : -1)
                                   : chartPn_->findData(chosenPn_);
    if (index < 0 && !openingPn_.isEmpty())
        index = chartPn_->findData(std::exchange(openingPn_, QString()));
    chartPn_->setCurrentIndex(index >= 0 || pns.empty() ? index : 0);
}

void ChartPanel::draw() {
    QVariant pn = chartPn_->currentData();
    bool pooled = chartPn_->currentIndex() >= 0 && pn.isNull();
    QString title =
        pooled
            ? QString("Individuals, limits pooled over %1 part numbers").arg(chartPn_->count() - 1)
            : "Individuals: PN " + pn.toString();
    // The last chart's tests go first: a million of them need not be held twice.
    selection_.charted = {};
    selection_.charted =
        DrawPartChart({*chart_, *movingRange_, *histogram_},
                      pooled ? PartTests(std::span<const TestPoint>(selection_.selected.points))
                             : TestsOf(selection_.selected, pn.toString()),
                      pooled ? QString() : pn.toString(), selection_.judging, axis(), title);
    const ChartedPart& charted = selection_.charted;
    fittedX_ = charted.summary.x;
    fittedY_ = charted.summary.y;
    fittedSpreadY_ = charted.summary.movingRangeY;
    const ChartSummary& summary = charted.summary;
    // The process's mean and sigma, as the statistics give them.
    QString text =
        QString(
            "%1 tests selected; charted: %2 tests, %3 with a numeric leak; process mean %4, "
            "σ (MR) %5, %6 rule breaks%7")
            .arg(selection_.selected.points.size())
            .arg(charted.points.tests.size())
            .arg(charted.series.y.size())
            .arg(summary.process ? LimitText(summary.process->mean) : "-")
            .arg(summary.process ? LimitText(summary.process->sigmaMovingRange) : "-")
            .arg(summary.ruleBreaks)
            .arg(summary.density ? "; within the limits drawn as a density band" : "");
    emit drawn(text + drawChosenChart(pooled ? QString("all %1, pooled").arg(chartPn_->count() - 1)
                                             : pn.toString()));
}

// Subgroup and reject-rate charts take the individuals chart's place; what the window judges and
// lists stays the individuals chart's. What they show, for the summary.
QString ChartPanel::drawChosenChart(const QString& pn) {
    auto type = static_cast<ChartType>(chartType_->currentData().toInt());
    bool subgroups = type == ChartType::MeanRange || type == ChartType::MeanDeviation;
    auto by = static_cast<SubgroupBy>(subgroupBy_->currentData().toInt());
    subgroupBy_->setVisible(subgroups);
    subgroupSize_->setVisible(subgroups && by == SubgroupBy::Consecutive);
    shiftStarts_->setVisible(subgroups && by == SubgroupBy::Shift);
    movingRange_->setVisible(type != ChartType::RejectRate);
    // The tests the individuals chart keeps in its limits make the subgroups too; a reject-rate
    // chart counts the rejects, but not the tests left out.
    if (type == ChartType::Individuals)
        return {};
    const SelectionJudging& judging = selection_.judging;
    std::vector<TestPoint> tests;
    for (const TestPoint& test : selection_.charted.points.tests)
        if (type == ChartType::RejectRate ? judging.exclusions.count(test.id) == 0
                                          : judging.inLimits(test))
            tests.push_back(test);
    if (type == ChartType::RejectRate) {
        RejectRateSummary drawn = DrawRejectRateChart(*chart_, tests, pn);
        fittedX_ = drawn.x;
        fittedY_ = drawn.y;
        return QString("; reject rate over %1 days, %2 beyond a limit")
            .arg(drawn.days)
            .arg(drawn.beyond);
    }
    SubgroupChoice choice;
    choice.statistic =
        type == ChartType::MeanRange ? SpreadStatistic::Range : SpreadStatistic::StandardDeviation;
    choice.by = by;
    choice.size = subgroupSize_->value();
    std::optional<std::vector<int>> starts = ShiftStartsOf(shiftStarts_->text());
    shiftStarts_->setStyleSheet(starts ? QString() : "QLineEdit { background: #ffc8c8; }");
    if (starts)
        choice.shiftStarts = *starts;
    choice.axis = axis();
    SubgroupChartSummary drawn =
        DrawSubgroupChart(*chart_, *movingRange_, tests, choice, pn, selection_.judging.unitOf(pn));
    fittedX_ = drawn.x;
    fittedY_ = drawn.meansY;
    fittedSpreadY_ = drawn.spreadY;
    return QString("; %1 subgroups, %2 means and %3 spreads beyond a limit")
        .arg(drawn.subgroups)
        .arg(drawn.meansBeyond)
        .arg(drawn.spreadsBeyond);
}

QString ChartPanel::chartedPn() const {
    return chartPn_->currentData().toString();
}

ChartAxis ChartPanel::axis() const {
    return static_cast<ChartAxis>(chartAxis_->currentData().toInt());
}

void ChartPanel::resetView() {
    ShowRange(*chart_, fittedX_, fittedY_);
    ShowRange(*movingRange_, fittedX_, fittedSpreadY_);
}

std::optional<size_t> ChartPanel::pointAt(const QPoint& at) const {
    std::optional<size_t> nearest;
    if (static_cast<ChartType>(chartType_->currentData().toInt()) != ChartType::Individuals)
        return nearest;
    const ChartSeries& series = selection_.charted.series;
    // A point beyond the view is found where its mark is, on the edge.
    const QCPRange view = chart_->yAxis->range();
    double best = 64;  // within 8 pixels
    for (size_t i = 0; i < series.x.size(); ++i) {
        double dx = chart_->xAxis->coordToPixel(series.x[i]) - at.x();
        double dy =
            chart_->yAxis->coordToPixel(std::clamp(series.y[i], view.lower, view.upper)) - at.y();
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = i;
        }
    }
    return nearest;
}

// The test's fields, then each rule it breaks and why it is left out of the limits.
void ChartPanel::showPointAt(const QPoint& at) {
    std::optional<size_t> nearest = pointAt(at);
    if (!nearest) {
        QToolTip::hideText();
        return;
    }
    const ChartedPart& charted = selection_.charted;
    const TestPoint& test = *charted.series.source[*nearest];
    QStringList lines{DetailsText(TestDetails(
        connection_, test.id, selection_.judging.unitOf(selection_.selected.pns[test.part])))};
    const std::vector<RunRuleBreak>& breaks = charted.summary.breaks;
    auto first = std::lower_bound(
        breaks.begin(), breaks.end(), *nearest,
        [](const RunRuleBreak& broken, size_t index) { return broken.index < index; });
    for (auto it = first; it != breaks.end() && it->index == *nearest; ++it)
        lines << "Breaks " + RuleName(it->rule) + ": " + RuleDescription(it->rule);
    const std::map<qint64, Exclusion>& exclusions = selection_.judging.exclusions;
    if (auto excluded = exclusions.find(test.id); excluded != exclusions.end())
        lines << "Left out of the limits: " + excluded->second.reason;
    // Archived text is shown as the characters it is, never as markup.
    QToolTip::showText(chart_->mapToGlobal(at),
                       Qt::convertFromPlainText(lines.join('\n'), Qt::WhiteSpacePre), chart_);
}

void ChartPanel::offerPointMenu(const QPoint& at) {
    std::optional<size_t> nearest = pointAt(at);
    if (!nearest)
        return;
    // A copy: nothing of the selection is held across the menu and the dialog.
    const TestPoint test = *selection_.charted.series.source[*nearest];
    bool leftOut = selection_.judging.exclusions.count(test.id) > 0;
    QMenu menu(this);
    QAction* action =
        menu.addAction(leftOut ? "&Take back into the limits…" : "&Leave out of the limits…");
    if (menu.exec(chart_->mapToGlobal(at)) != action)
        return;
    Result<QString, ArchiveError> name =
        PointName(connection_, test, selection_.selected.pns[test.part]);
    if (!name) {
        emit told(NotReadText(name.error()));
        return;
    }
    if (std::optional<QString> reason = AskExclusionReason(this, leftOut, name.value()))
        emit exclusionAsked(test.id, !leftOut, *reason);
}

}  // namespace qm4250
