#include "trend/trend_window.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSqlError>
#include <QSqlQuery>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QToolTip>
#include <utility>

#include "analysis/part_statistics.h"
#include "analysis/subgroup_constants.h"
#include "archive/change_author.h"
#include "archive/schema.h"
#include "archive/test_selection.h"
#include "export/save_history_workbook.h"
#include "trend/chart_layers.h"
#include "trend/judging_panels.h"
#include "trend/limits_dialogs.h"
#include "trend/report_pages.h"
#include "trend/rule_names.h"
#include "trend/statistics_workbook.h"

namespace qm4250 {

namespace {

// The table's columns, the SQL each shows and the SQL it sorts by; only these are ever put into
// ORDER BY. A Seq# of digits sorts as its number does (2 before 10), on SQLite and PostgreSQL;
// a leak shows as received and sorts as a number.
struct Column {
    const char* title;
    const char* sql;
    const char* sortSql;
};
constexpr Column kColumns[] = {{"Instrument", "i.serial", "i.serial"},
                               {"Seq#", "t.seq", "LENGTH(t.seq), t.seq"},
                               {"PN", "t.pn", "t.pn"},
                               {"Cust Code", "t.cust_code", "t.cust_code"},
                               {"Leak", "t.leak_text", "t.leak"},
                               {"Err", "t.error_code", "t.error_code"},
                               {"Tested at", "t.tested_at", "t.tested_at"},
                               {"GP", "t.relay_gp", "t.relay_gp"},
                               {"BP", "t.relay_bp", "t.relay_bp"},
                               {"GE", "t.relay_ge", "t.relay_ge"}};

constexpr int kGridColumns = 13;
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

// The part numbers of the selection, the most tested first, then in the order of their text.
std::vector<std::pair<QString, size_t>> PnsByCount(const SelectedTests& selected) {
    std::vector<size_t> counts(selected.pns.size());
    for (const TestPoint& point : selected.points)
        ++counts[point.part];
    std::vector<std::pair<QString, size_t>> pns;
    for (size_t part = 0; part < counts.size(); ++part)
        pns.emplace_back(selected.pns[part], counts[part]);
    std::sort(pns.begin(), pns.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    return pns;
}

}  // namespace

TrendWindow::TrendWindow(const ArchiveLocation& location, QWidget* parent)
    : QWidget(parent),
      location_(location),
      connection_(std::make_unique<ArchiveConnection>(location, ArchiveConnection::Access::Read)) {
    if (!connection_->isOpen())
        unreadable_ = connection_->error();
    else
        unreadable_ = CheckReadable(*connection_);
    setObjectName("TrendWindow");
    setWindowTitle("QM4250 Test Archive: " + location_.display());
    buildControls();
    fillInstruments();
}

TrendWindow::~TrendWindow() {
    model_.clear();
}

void TrendWindow::buildControls() {
    auto* grid = new QGridLayout(this);
    auto field = [this](const char* name, const QString& placeholder) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        connect(edit, &QLineEdit::returnPressed, this, &TrendWindow::applyFilter);
        return edit;
    };
    auto button = [this](const char* name, const QString& text, auto slot) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        connect(pushButton, &QPushButton::clicked, this, slot);
        return pushButton;
    };
    auto saveAs = [this](const QString& title, const QString& types, auto save) {
        return [this, title, types, save] {
            QString path = QFileDialog::getSaveFileName(this, title, {}, types);
            if (!path.isEmpty())
                (this->*save)(path);
        };
    };
    instrument_ = new QComboBox(this);
    instrument_->setObjectName("instrument");
    pn_ = field("pn", "PN");
    custCode_ = field("custCode", "Cust Code");
    from_ = field("from", "from YYYY-MM-DD");
    to_ = field("to", "to YYYY-MM-DD");
    search_ = field("search", "Seq# or Cust Code contains");
    rejectsOnly_ = new QCheckBox("Rejects only", this);
    rejectsOnly_->setObjectName("rejectsOnly");
    QWidget* filters[] = {
        instrument_,
        pn_,
        custCode_,
        from_,
        to_,
        search_,
        rejectsOnly_,
        button("apply", "Apply", &TrendWindow::applyFilter),
        button("exportSelection", "Export selection…",
               saveAs("Export selection", "Excel (*.xls);;Excel Workbook (*.xlsx);;CSV (*.csv)",
                      &TrendWindow::exportSelection)),
        button("saveChart", "Save chart…",
               saveAs("Save chart", "PNG (*.png);;SVG (*.svg)", &TrendWindow::saveChart)),
        button("saveReport", "PDF report…",
               saveAs("PDF report", "PDF (*.pdf)", &TrendWindow::saveReport)),
        button("exportStatistics", "Statistics to .xlsx…",
               saveAs("Statistics and chart data", "Excel Workbook (*.xlsx)",
                      &TrendWindow::exportStatistics)),
        button("resetView", "Reset view", &TrendWindow::resetView)};
    for (int i = 0; i < static_cast<int>(std::size(filters)); ++i)
        grid->addWidget(filters[i], 0, i);
    connect(new QShortcut(QKeySequence("Ctrl+0"), this), &QShortcut::activated, this,
            &TrendWindow::resetView);
    connect(new QShortcut(QKeySequence("Ctrl+Q"), this), &QShortcut::activated, this,
            &QWidget::close);

    summary_ = new QLabel(this);
    summary_->setObjectName("summary");
    summary_->setTextFormat(Qt::PlainText);
    grid->addWidget(summary_, 1, 0, 1, kGridColumns);
    grid->addWidget(buildChartControls(), 2, 0, 1, kGridColumns);
    auto plot = [this](const char* name, int height) {
        auto* plot = new QCustomPlot(this);
        plot->setObjectName(name);
        plot->setMinimumSize(300, height);
        return plot;
    };
    chart_ = plot("controlChart", 300);
    chart_->setMouseTracking(true);
    connect(chart_, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* event) { showPointAt(event->pos()); });
    connect(chart_, &QCustomPlot::mouseDoubleClick, this, &TrendWindow::resetView);
    chart_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart_, &QWidget::customContextMenuRequested, this, &TrendWindow::offerPointMenu);
    grid->addWidget(chart_, 3, 0, 1, 8);
    movingRange_ = plot("movingRangeChart", 140);
    // One x axis for both charts: a zoom or drag of either moves the other.
    connect(chart_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), movingRange_,
            [this](const QCPRange& range) {
                movingRange_->xAxis->setRange(range);
                movingRange_->replot();
            });
    grid->addWidget(movingRange_, 4, 0, 1, 8);
    histogram_ = plot("histogram", 440);
    grid->addWidget(histogram_, 3, 8, 2, kGridColumns - 8);

    panels_ = new JudgingPanels(this);
    grid->addWidget(panels_, 5, 0, 1, kGridColumns);
    tests_ = new QTableView(this);
    tests_->setObjectName("tests");
    tests_->setModel(&model_);
    tests_->setSortingEnabled(false);
    tests_->horizontalHeader()->setSortIndicatorShown(true);
    tests_->horizontalHeader()->setSectionsClickable(true);
    connect(tests_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &TrendWindow::sortTable);
    auto* copy = new QShortcut(QKeySequence::Copy, tests_);
    copy->setContext(Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &TrendWindow::copySelectedCells);
    grid->addWidget(tests_, 6, 0, 1, kGridColumns);
}

QWidget* TrendWindow::buildChartControls() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    chartPn_ = new QComboBox(row);
    chartPn_->setObjectName("chartPn");
    chartPn_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(chartPn_, &QComboBox::activated, this, [this] {
        chosenPn_ = chartPn_->currentData();
        pnChosen_ = true;
        drawChart();
    });
    chartAxis_ = new QComboBox(row);
    chartAxis_->setObjectName("chartAxis");
    chartAxis_->addItem("x: sample number", static_cast<int>(ChartAxis::SampleNumber));
    chartAxis_->addItem("x: time", static_cast<int>(ChartAxis::Time));
    connect(chartAxis_, &QComboBox::activated, this, &TrendWindow::drawChart);
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
    for (QComboBox* box : {chartType_, subgroupBy_})
        connect(box, &QComboBox::activated, this, &TrendWindow::drawChart);
    connect(subgroupSize_, &QSpinBox::valueChanged, this, &TrendWindow::drawChart);
    connect(shiftStarts_, &QLineEdit::editingFinished, this, &TrendWindow::drawChart);
    layout->addWidget(new QLabel("Chart of", row));
    layout->addWidget(chartPn_);
    layout->addWidget(chartAxis_);
    layout->addWidget(chartType_);
    layout->addWidget(subgroupBy_);
    layout->addWidget(subgroupSize_);
    layout->addWidget(shiftStarts_);
    layout->addWidget(buildJudgingControls());
    layout->addStretch();
    return row;
}

QWidget* TrendWindow::buildJudgingControls() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    rules_ = new QToolButton(row);
    rules_->setObjectName("runRules");
    rules_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(rules_);
    for (RunRule rule : kAllRunRules) {
        QAction* action = menu->addAction(RuleName(rule) + ": " + RuleDescription(rule));
        action->setObjectName("rule " + RuleName(rule));
        action->setData(static_cast<int>(rule));
        action->setCheckable(true);
        action->setChecked(std::count(kDefaultRunRules.begin(), kDefaultRunRules.end(), rule) > 0);
        connect(action, &QAction::toggled, this, &TrendWindow::chooseRules);
    }
    rules_->setMenu(menu);
    rejectsOut_ = new QCheckBox("Rejects out of the limits", row);
    rejectsOut_->setObjectName("rejectsOutOfLimits");
    rejectsOut_->setChecked(judging_.rejectsOutOfLimits);
    judgeByFrozen_ = new QCheckBox("Judge by frozen limits", row);
    judgeByFrozen_->setObjectName("judgeByFrozen");
    judgeByFrozen_->setChecked(judging_.judgeByFrozen);
    for (QCheckBox* box : {rejectsOut_, judgeByFrozen_})
        connect(box, &QCheckBox::toggled, this, &TrendWindow::chooseRules);
    auto button = [&](const char* name, const QString& text, void (TrendWindow::*slot)()) {
        auto* pushButton = new QPushButton(text, row);
        pushButton->setObjectName(name);
        connect(pushButton, &QPushButton::clicked, this, slot);
        layout->addWidget(pushButton);
    };
    layout->addWidget(rules_);
    layout->addWidget(rejectsOut_);
    layout->addWidget(judgeByFrozen_);
    button("toleranceLimits", "Tolerance…", &TrendWindow::editTolerance);
    button("freezeLimits", "Freeze limits…", &TrendWindow::editFrozenLimits);
    chooseRules();
    return row;
}

// Kept current at every Apply, so an instrument uploaded meanwhile can be chosen; the choice stays.
void TrendWindow::fillInstruments() {
    QVariant chosen = instrument_->currentData();
    instrument_->clear();
    instrument_->addItem("All instruments", QString());
    if (unreadable_)
        return;
    QSqlQuery query("SELECT serial, model FROM instruments ORDER BY serial", connection_->db());
    while (query.next())
        instrument_->addItem(query.value(0).toString() + " (" + query.value(1).toString() + ")",
                             query.value(0).toString());
    instrument_->setCurrentIndex(std::max(0, instrument_->findData(chosen)));
}

TestFilter TrendWindow::filter() const {
    TestFilter filter;
    filter.instrument = instrument_->currentData().toString();
    filter.pn = pn_->text();
    filter.custCode = custCode_->text();
    filter.from = QDate::fromString(from_->text().trimmed(), "yyyy-MM-dd");
    filter.to = QDate::fromString(to_->text().trimmed(), "yyyy-MM-dd");
    filter.rejectsOnly = rejectsOnly_->isChecked();
    filter.search = search_->text();
    return filter;
}

bool TrendWindow::showRecent() {
    if (instrument_->count() > 1 && !unreadable_) {
        instrument_->setCurrentIndex(1);
        QSqlQuery query(connection_->db());
        query.prepare(
            "SELECT t.tested_at, t.pn FROM tests t JOIN instruments i ON i.id = t.instrument_id"
            " WHERE i.serial = ? ORDER BY t.tested_at DESC, t.id DESC LIMIT 1");
        query.addBindValue(instrument_->currentData());
        if (query.exec() && query.next()) {
            QDate newest = QDate::fromString(query.value(0).toString().left(10), "yyyy-MM-dd");
            from_->setText(newest.addDays(-29).toString("yyyy-MM-dd"));
            openingPn_ = query.value(1).toString();
        }
    }
    return applyFilter();
}

// A date that is not one is marked and refused: taking it for no date would show every test.
bool TrendWindow::datesReadable() {
    QString refusal;
    for (auto [edit, word] : {std::pair{from_, "from"}, std::pair{to_, "to"}}) {
        QString text = edit->text().trimmed();
        bool readable = text.isEmpty() || QDate::fromString(text, "yyyy-MM-dd").isValid();
        edit->setStyleSheet(readable ? QString() : "QLineEdit { background: #ffc8c8; }");
        if (!readable && refusal.isEmpty())
            refusal = QString("%1 takes a date as YYYY-MM-DD, not %2").arg(word, text);
    }
    if (!refusal.isEmpty())
        summary_->setText(refusal);
    return refusal.isEmpty();
}

bool TrendWindow::applyFilter() {
    if (unreadable_) {
        summary_->setText("The archive cannot be opened: " + ArchiveErrorText(*unreadable_));
        return false;
    }
    if (!datesReadable())
        return false;
    // As after a change stored here: what others stored since is seen only once the table's
    // query is let go.
    model_.clear();
    fillInstruments();
    std::variant<SelectedTests, ArchiveError> selected = SelectTestPoints(*connection_, filter());
    if (auto* error = std::get_if<ArchiveError>(&selected)) {
        selected_ = {};
        fillChartPns();
        drawChart();
        summary_->setText("The archive cannot be read: " + ArchiveErrorText(*error));
        return false;
    }
    selected_ = std::move(std::get<SelectedTests>(selected));
    if (!readJudging())
        return false;
    showStatistics();
    fillChartPns();
    drawChart();
    showTable(filter());
    return true;
}

// The PN charted: the operator's last choice while the selection holds it, else the PN tested
// last when the window opened, else the most tested. Pooling every PN under one set of limits is
// offered last, and charted only when chosen.
void TrendWindow::fillChartPns() {
    std::vector<std::pair<QString, size_t>> pns = PnsByCount(selected_);
    chartPn_->clear();
    for (const auto& [pn, count] : pns)
        chartPn_->addItem(QString("PN %1 (%2 tests)").arg(pn).arg(count), pn);
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

void TrendWindow::drawChart() {
    QVariant pn = chartPn_->currentData();
    bool pooled = chartPn_->currentIndex() >= 0 && pn.isNull();
    auto charted = std::find(selected_.pns.begin(), selected_.pns.end(), pn.toString());
    auto part = static_cast<uint32_t>(charted - selected_.pns.begin());
    chartPoints_.clear();
    for (const TestPoint& point : selected_.points)
        if (pooled || point.part == part)
            chartPoints_.push_back(point);
    auto axis = static_cast<ChartAxis>(chartAxis_->currentData().toInt());
    series_ = SeriesOf(chartPoints_, axis);
    QString title =
        pooled
            ? QString("Individuals, limits pooled over %1 part numbers").arg(chartPn_->count() - 1)
            : "Individuals: PN " + pn.toString();
    fitted_ =
        DrawControlChart(*chart_, *movingRange_, series_,
                         judging_.viewOf(series_, pooled ? QString() : pn.toString(), axis, title));
    DrawHistogram(*histogram_, series_.y, fitted_);
    double sum = 0;
    for (double leak : series_.y)
        sum += leak;
    summary_->setText(
        QString("%1 tests selected; charted: %2 tests, %3 with a numeric leak; mean "
                "%4, σ (MR) %5, %6 rule breaks%7")
            .arg(selected_.points.size())
            .arg(chartPoints_.size())
            .arg(series_.y.size())
            .arg(series_.y.empty() ? "-" : LimitText(sum / double(series_.y.size())))
            .arg(fitted_.limits ? LimitText(fitted_.limits->sigmaMovingRange) : "-")
            .arg(fitted_.ruleBreaks)
            .arg(fitted_.density ? "; within the limits drawn as a density band" : ""));
    panels_->showChart(*connection_, series_, fitted_, judging_,
                       pooled ? QString() : pn.toString());
    drawChosenChart(pooled ? QString("all %1, pooled").arg(chartPn_->count() - 1) : pn.toString());
}

// Subgroup and reject-rate charts take the individuals chart's place; what the window judges and
// lists stays the individuals chart's.
void TrendWindow::drawChosenChart(const QString& pn) {
    auto type = static_cast<ChartType>(chartType_->currentData().toInt());
    bool subgroups = type == ChartType::MeanRange || type == ChartType::MeanDeviation;
    auto by = static_cast<SubgroupBy>(subgroupBy_->currentData().toInt());
    subgroupBy_->setVisible(subgroups);
    subgroupSize_->setVisible(subgroups && by == SubgroupBy::Consecutive);
    shiftStarts_->setVisible(subgroups && by == SubgroupBy::Shift);
    movingRange_->setVisible(type != ChartType::RejectRate);
    if (type == ChartType::RejectRate) {
        RejectRateSummary drawn = DrawRejectRateChart(*chart_, chartPoints_, pn);
        fitted_.x = drawn.x;
        fitted_.y = drawn.y;
        summary_->setText(summary_->text() +
                          QString("; reject rate over %1 days, %2 beyond a limit")
                              .arg(drawn.days)
                              .arg(drawn.beyond));
    } else if (subgroups) {
        SubgroupChoice choice;
        choice.statistic = type == ChartType::MeanRange ? SpreadStatistic::Range
                                                        : SpreadStatistic::StandardDeviation;
        choice.by = by;
        choice.size = subgroupSize_->value();
        std::optional<std::vector<int>> starts = ShiftStartsOf(shiftStarts_->text());
        shiftStarts_->setStyleSheet(starts ? QString() : "QLineEdit { background: #ffc8c8; }");
        if (starts)
            choice.shiftStarts = *starts;
        choice.axis = static_cast<ChartAxis>(chartAxis_->currentData().toInt());
        SubgroupChartSummary drawn =
            DrawSubgroupChart(*chart_, *movingRange_, chartPoints_, choice, pn);
        fitted_.x = drawn.x;
        fitted_.y = drawn.meansY;
        fitted_.movingRangeY = drawn.spreadY;
        summary_->setText(summary_->text() +
                          QString("; %1 subgroups, %2 means and %3 spreads beyond a limit")
                              .arg(drawn.subgroups)
                              .arg(drawn.meansBeyond)
                              .arg(drawn.spreadsBeyond));
    }
}

QString TrendWindow::chartedPn() const {
    return chartPn_->currentData().toString();
}

void TrendWindow::resetView() {
    ShowRange(*chart_, fitted_.x, fitted_.y);
    ShowRange(*movingRange_, fitted_.x, fitted_.movingRangeY);
}

// One row per PN with a numeric leak, in the order of their text.
std::vector<PartStatistics> TrendWindow::partStatistics() const {
    std::vector<std::vector<const TestPoint*>> tests(selected_.pns.size());
    for (const TestPoint& point : selected_.points)
        if (point.leak)
            tests[point.part].push_back(&point);
    std::vector<PartStatistics> parts;
    for (size_t part = 0; part < tests.size(); ++part)
        if (!tests[part].empty())
            parts.push_back(judging_.statisticsOf(selected_.pns[part], tests[part]));
    std::sort(parts.begin(), parts.end(),
              [](const PartStatistics& a, const PartStatistics& b) { return a.pn < b.pn; });
    return parts;
}

void TrendWindow::showStatistics() {
    panels_->showStatistics(partStatistics());
}

void TrendWindow::showTable(const TestFilter& filter) {
    FilterSql where = FilterSqlOf(filter);
    QStringList columns;
    for (const Column& column : kColumns)
        columns << column.sql;
    QSqlQuery query(connection_->db());
    query.prepare("SELECT " + columns.join(", ") +
                  " FROM tests t JOIN instruments i ON i.id = t.instrument_id" + where.where +
                  " ORDER BY " + order_);
    for (const QVariant& value : where.values)
        query.addBindValue(value);
    query.exec();
    model_.setQuery(std::move(query));
    if (model_.lastError().isValid())
        summary_->setText("The archive cannot be read: " +
                          ArchiveErrorText(connection_->failure(model_.lastError())));
    for (int column = 0; column < static_cast<int>(std::size(kColumns)); ++column)
        model_.setHeaderData(column, Qt::Horizontal, kColumns[column].title);
}

void TrendWindow::sortTable(int column, Qt::SortOrder order) {
    if (column < 0 || column >= static_cast<int>(std::size(kColumns)))
        return;
    QString direction = order == Qt::AscendingOrder ? " ASC" : " DESC";
    order_ =
        QString(kColumns[column].sortSql).split(", ").join(direction + ", ") + direction + ", t.id";
    showTable(filter());
}

// The block from the first selected cell to the last, as tab-separated lines a spreadsheet
// pastes into cells; a cell inside the block but not selected stays empty.
void TrendWindow::copySelectedCells() {
    QModelIndexList selected = tests_->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    int top = selected.front().row(), bottom = top;
    int left = selected.front().column(), right = left;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    std::vector<QStringList> rows(static_cast<size_t>(bottom - top + 1),
                                  QStringList(right - left + 1, QString()));
    for (const QModelIndex& index : selected)
        rows[static_cast<size_t>(index.row() - top)][index.column() - left] =
            index.data().toString().replace('\t', ' ').replace('\n', ' ');
    QStringList lines;
    for (const QStringList& row : rows)
        lines << row.join('\t');
    QApplication::clipboard()->setText(lines.join('\n') + '\n');
}

std::optional<size_t> TrendWindow::pointAt(const QPoint& at) const {
    std::optional<size_t> nearest;
    if (static_cast<ChartType>(chartType_->currentData().toInt()) != ChartType::Individuals)
        return nearest;
    double best = 64;  // within 8 pixels
    for (size_t i = 0; i < series_.x.size(); ++i) {
        double dx = chart_->xAxis->coordToPixel(series_.x[i]) - at.x();
        double dy = chart_->yAxis->coordToPixel(series_.y[i]) - at.y();
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = i;
        }
    }
    return nearest;
}

// The test's fields, then each rule it breaks and why it is left out of the limits.
void TrendWindow::showPointAt(const QPoint& at) {
    std::optional<size_t> nearest = pointAt(at);
    if (!nearest) {
        QToolTip::hideText();
        return;
    }
    const TestPoint& test = *series_.source[*nearest];
    QStringList lines{TestDetails(*connection_, test.id)};
    auto first = std::lower_bound(
        fitted_.breaks.begin(), fitted_.breaks.end(), *nearest,
        [](const RunRuleBreak& broken, size_t index) { return broken.index < index; });
    for (auto it = first; it != fitted_.breaks.end() && it->index == *nearest; ++it)
        lines << "Breaks " + RuleName(it->rule) + ": " + RuleDescription(it->rule);
    if (auto excluded = judging_.exclusions.find(test.id); excluded != judging_.exclusions.end())
        lines << "Left out of the limits: " + excluded->second.reason;
    // Archived text is shown as the characters it is, never as markup.
    QToolTip::showText(chart_->mapToGlobal(at),
                       Qt::convertFromPlainText(lines.join('\n'), Qt::WhiteSpacePre), chart_);
}

void TrendWindow::offerPointMenu(const QPoint& at) {
    std::optional<size_t> nearest = pointAt(at);
    if (!nearest)
        return;
    qint64 id = series_.source[*nearest]->id;
    bool leftOut = judging_.exclusions.count(id) > 0;
    QMenu menu(this);
    QAction* action =
        menu.addAction(leftOut ? "Take back into the limits…" : "Leave out of the limits…");
    if (menu.exec(chart_->mapToGlobal(at)) != action)
        return;
    bool given = false;
    QString reason = QInputDialog::getText(this, action->text().chopped(1),
                                           "Reason:", QLineEdit::Normal, {}, &given)
                         .trimmed();
    if (given && !reason.isEmpty())
        leftOut ? takeBack(id, reason) : leaveOut(id, reason);
}

bool TrendWindow::exportSelection(const QString& path) {
    std::variant<std::vector<History>, ArchiveError> selected = SelectTests(location_, filter());
    if (auto* error = std::get_if<ArchiveError>(&selected)) {
        summary_->setText("The selection was not exported: " + ArchiveErrorText(*error));
        return false;
    }
    const std::vector<History>& histories = std::get<std::vector<History>>(selected);
    bool saved =
        SaveHistories(histories, QFile::encodeName(path).toStdString()) == SaveResult::Saved;
    summary_->setText(saved ? QString("%1 tests exported to %2").arg(TestCount(histories)).arg(path)
                            : "The selection was not exported: " + path);
    return saved;
}

bool TrendWindow::saveChart(const QString& path) {
    if (!path.endsWith(".svg", Qt::CaseInsensitive))
        return chart_->savePng(path, chart_->width(), chart_->height());
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(chart_->size());
    svg.setViewBox(QRect(QPoint(0, 0), chart_->size()));
    svg.setTitle("QM4250 control chart");
    QCPPainter painter;
    if (!painter.begin(&svg))
        return false;
    chart_->toPainter(&painter, chart_->width(), chart_->height());
    return painter.end();
}

bool TrendWindow::saveReport(const QString& path) {
    bool written = WriteReport(
        path, *connection_, selected_, judging_,
        {FilterDescription(filter()), location_.display(), QDateTime::currentDateTime()},
        static_cast<ChartAxis>(chartAxis_->currentData().toInt()));
    if (!written)
        summary_->setText("The report was not written: " + path);
    return written;
}

// Every charted test, a leak that is not a number too, with the rules it breaks and why it is
// left out of the limits.
bool TrendWindow::exportStatistics(const QString& path) {
    std::vector<qint64> ids;
    for (const TestPoint& point : chartPoints_)
        ids.push_back(point.id);
    std::variant<std::map<qint64, QString>, ArchiveError> seqs = SeqNumbersOf(*connection_, ids);
    if (auto* error = std::get_if<ArchiveError>(&seqs)) {
        summary_->setText("The statistics were not exported: " + ArchiveErrorText(*error));
        return false;
    }
    std::map<const TestPoint*, QStringList> broken;
    for (const RunRuleBreak& rule : fitted_.breaks)
        broken[series_.source[rule.index]] << RuleName(rule.rule);
    std::vector<ChartDataRow> rows;
    for (const TestPoint& point : chartPoints_) {
        auto excluded = judging_.exclusions.find(point.id);
        rows.push_back(
            {selected_.pns[point.part], std::get<0>(seqs)[point.id], point.seconds, point.leak,
             point.reject, broken[&point].join(", "),
             excluded == judging_.exclusions.end() ? QString() : excluded->second.reason});
    }
    std::vector<PartStatistics> parts = partStatistics();
    bool written = WriteStatisticsWorkbook(path, parts, rows);
    summary_->setText(written ? QString("Statistics of %1 part numbers and %2 charted tests "
                                        "exported to %3")
                                    .arg(parts.size())
                                    .arg(rows.size())
                                    .arg(path)
                              : "The statistics were not exported: " + path);
    return written;
}

bool TrendWindow::readJudging() {
    std::variant<SelectionJudging, ArchiveError> read =
        ReadJudging(*connection_, selected_.pns, judging_);
    if (auto* error = std::get_if<ArchiveError>(&read)) {
        summary_->setText("The limits and exclusions cannot be read: " + ArchiveErrorText(*error));
        return false;
    }
    judging_ = std::move(std::get<SelectionJudging>(read));
    return true;
}

// After a change is stored: the archive's word on the selection read again, and everything
// judged by it.
bool TrendWindow::judgeAnew(const std::optional<ArchiveError>& stored, const QString& what) {
    if (stored) {
        summary_->setText(what + " not kept: " + ArchiveErrorText(*stored));
        return false;
    }
    // The table's query, fetched as it scrolls, holds SQLite's view of the archive as it was for
    // every statement of the connection: it is let go first, so that the change is seen.
    model_.clear();
    // A write may have made the archive readable at a newer schema.
    unreadable_ = CheckReadable(*connection_);
    if (unreadable_ || !readJudging())
        return false;
    showStatistics();
    drawChart();
    showTable(filter());
    return true;
}

void TrendWindow::chooseRules() {
    judging_.rules.clear();
    QStringList names;
    for (QAction* action : rules_->menu()->actions()) {
        if (action->isChecked()) {
            judging_.rules.push_back(static_cast<RunRule>(action->data().toInt()));
            names << RuleName(judging_.rules.back());
        }
    }
    rules_->setText("Rules: " + (names.isEmpty() ? QString("none") : names.join(", ")));
    judging_.rejectsOutOfLimits = rejectsOut_->isChecked();
    judging_.judgeByFrozen = judgeByFrozen_->isChecked();
    if (chartPn_->count() == 0 && selected_.points.empty())
        return;
    showStatistics();
    drawChart();
}

bool TrendWindow::setTolerance(const QString& pn, std::optional<double> lower, double upper) {
    return judgeAnew(StorePartLimits(location_, {pn, lower, upper, ChangeAuthor(),
                                                 QDateTime::currentDateTimeUtc()}),
                     "The tolerance limits were");
}

bool TrendWindow::freezeLimits(const QString& pn, const LimitsBaseline& baseline) {
    std::variant<FrozenLimits, QString> computed =
        BaselineLimits(*connection_, pn, baseline, judging_);
    if (auto* why = std::get_if<QString>(&computed)) {
        summary_->setText("The limits were not frozen: " + *why);
        return false;
    }
    return judgeAnew(StoreFrozenLimits(location_, std::get<FrozenLimits>(computed)),
                     "The frozen limits were");
}

bool TrendWindow::thawLimits(const QString& pn) {
    return judgeAnew(
        StoreFrozenLimits(
            location_, {pn, std::nullopt, {}, 0, ChangeAuthor(), QDateTime::currentDateTimeUtc()}),
        "The thawing was");
}

bool TrendWindow::leaveOut(qint64 testId, const QString& reason) {
    return judgeAnew(StoreExclusion(location_, {testId, true, reason, ChangeAuthor(),
                                                QDateTime::currentDateTimeUtc()}),
                     "The exclusion was");
}

bool TrendWindow::takeBack(qint64 testId, const QString& reason) {
    return judgeAnew(StoreExclusion(location_, {testId, false, reason, ChangeAuthor(),
                                                QDateTime::currentDateTimeUtc()}),
                     "The taking back was");
}

void TrendWindow::editTolerance() {
    QString pn = chartedPn();
    if (pn.isEmpty())
        return;
    if (std::optional<ToleranceLimits> asked = AskTolerance(this, pn, judging_.toleranceOf(pn)))
        setTolerance(pn, asked->lower, *asked->upper);
}

void TrendWindow::editFrozenLimits() {
    QString pn = chartedPn();
    if (pn.isEmpty())
        return;
    std::optional<std::variant<LimitsBaseline, Thaw>> asked =
        AskFreeze(this, pn, judging_.frozen.count(pn) > 0, from_->text(), to_->text());
    if (!asked)
        return;
    if (auto* baseline = std::get_if<LimitsBaseline>(&*asked))
        freezeLimits(pn, *baseline);
    else
        thawLimits(pn);
}

}  // namespace qm4250
