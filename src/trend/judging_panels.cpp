#include "trend/judging_panels.h"

#include <map>

#include "trend/chart_layers.h"
#include "trend/failure_texts.h"
#include "trend/fit_columns.h"
#include "trend/listed_names.h"
#include "trend/statistics_cells.h"

namespace qm4250 {

namespace {

QTableWidget* Table(QWidget* parent, const char* name, const QStringList& headers) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

void SetRow(QTableWidget* table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(cells[column]));
}

}  // namespace

JudgingPanels::JudgingPanels(QWidget* parent) : QTabWidget(parent) {
    setObjectName("panels");
    setMaximumHeight(170);
    statistics_ = Table(this, "statistics", StatisticsHeaders());
    breaks_ = Table(this, "ruleBreaks", {"Rule", "Seq#", "Tested at", "Leak"});
    leftOut_ = Table(this, "leftOut", {"Seq#", "Tested at", "Leak", "Left out because"});
    limits_ = Table(this, "limitsCompare", {"This selection", "Frozen"});
    limits_->setRowCount(7);
    limits_->setVerticalHeaderLabels(
        {"CL", "UCL", "LCL", "MR-bar", "MR UCL", "Baseline", "Frozen by"});
    addTab(statistics_, "Statistics");
    addTab(breaks_, "Rule breaks");
    addTab(leftOut_, "Left out of the limits");
    addTab(limits_, "Limits: selection and frozen");
    connect(this, &QTabWidget::currentChanged, this, &JudgingPanels::fillShown);
}

void JudgingPanels::showStatistics(const std::vector<PartStatistics>& parts) {
    statistics_->setRowCount(static_cast<int>(parts.size()));
    for (size_t row = 0; row < parts.size(); ++row)
        SetRow(statistics_, static_cast<int>(row), StatisticsCells(parts[row]));
    FitColumns(*statistics_);
}

void JudgingPanels::showChart(ArchiveConnection& connection, const ChartSeries& series,
                              const ChartSummary& summary, const SelectionJudging& judging,
                              const QString& pn) {
    connection_ = &connection;
    series_ = &series;
    summary_ = &summary;
    judging_ = &judging;
    pn_ = pn;
    QString leak = WithUnit("Leak", judging.unitOf(pn));
    breaks_->setHorizontalHeaderLabels({"Rule", "Seq#", "Tested at", leak});
    leftOut_->setHorizontalHeaderLabels({"Seq#", "Tested at", leak, "Left out because"});
    setTabText(1, summary.breaks.size() > kBreaksListed
                      ? QString("Rule breaks (%1 tests, first %2 breaks listed)")
                            .arg(summary.ruleBreaks)
                            .arg(kBreaksListed)
                      : QString("Rule breaks (%1 tests)").arg(summary.ruleBreaks));
    setTabText(2,
               QString("Left out of the limits (%1)").arg(ExclusionList(series, judging).size()));
    fillShown();
}

void JudgingPanels::fillShown() {
    if (!series_)
        return;
    if (currentWidget() == breaks_ || currentWidget() == leftOut_)
        showLists();
    else if (currentWidget() == limits_)
        showLimits();
}

void JudgingPanels::showLists() {
    std::vector<ListedTest> breaks = BreakList(*series_, *summary_, kBreaksListed);
    std::vector<ListedTest> leftOut = ExclusionList(*series_, *judging_);
    std::vector<qint64> ids;
    for (const auto* list : {&breaks, &leftOut})
        for (const ListedTest& listed : *list)
            ids.push_back(listed.test->id);
    Result<std::map<qint64, TestName>, ArchiveError> read = TestNamesOf(*connection_, ids);
    if (!read) {
        showNotRead(read.error());
        return;
    }
    const std::map<qint64, TestName>& names = read.value();
    auto fill = [&](QTableWidget* table, const std::vector<ListedTest>& list, bool whatFirst) {
        table->clearSpans();
        table->setRowCount(static_cast<int>(list.size()));
        for (size_t row = 0; row < list.size(); ++row) {
            const ListedTest& listed = list[row];
            QStringList cells{ListedName(names, listed.test->id, false),
                              TestTimeText(listed.test->seconds), LimitText(listed.leak)};
            whatFirst ? cells.prepend(listed.what) : cells.append(listed.what);
            SetRow(table, static_cast<int>(row), cells);
        }
        FitColumns(*table);
    };
    fill(breaks_, breaks, true);
    fill(leftOut_, leftOut, false);
}

// Lists of tests without their Seq#s would hide that the archive failed: each list says why in
// their place, as the window says it of the other reads.
void JudgingPanels::showNotRead(const ArchiveError& error) {
    QString text = NotReadText(error);
    for (QTableWidget* table : {breaks_, leftOut_}) {
        table->clearContents();
        table->setRowCount(1);
        table->setSpan(0, 0, 1, table->columnCount());
        auto* item = new QTableWidgetItem(text);
        item->setToolTip(text);
        table->setItem(0, 0, item);
    }
}

// The charted PN's limits as its own tests give them beside the frozen ones, whichever judges.
void JudgingPanels::showLimits() {
    limits_->clearContents();
    auto column = [this](int index, const std::optional<ControlLimits>& limits,
                         const QStringList& more) {
        if (!limits)
            return;
        double values[] = {limits->mean, limits->upper, limits->lower, limits->averageMovingRange,
                           limits->movingRangeUpper};
        for (int row = 0; row < 5; ++row)
            limits_->setItem(row, index, new QTableWidgetItem(LimitText(values[row])));
        for (int row = 0; row < more.size(); ++row)
            limits_->setItem(5 + row, index, new QTableWidgetItem(more[row]));
    };
    SelectionJudging own = *judging_;
    own.judgeByFrozen = false;
    ChartView view = own.viewOf(*series_, pn_, ChartAxis::SampleNumber, {});
    column(0, IndividualsLimits(ProcessOf(*series_, view)),
           {QString("%1 tests shown").arg(series_->y.size())});
    auto frozen = judging_->frozen.find(pn_);
    if (!pn_.isEmpty() && frozen != judging_->frozen.end())
        column(1, frozen->second.limits,
               {QString("%1 (%2 tests)")
                    .arg(frozen->second.baseline)
                    .arg(frozen->second.baselineTests),
                frozen->second.changedBy + ", " +
                    frozen->second.changedAt.toString("yyyy-MM-dd HH:mm") + " UTC"});
    limits_->setHorizontalHeaderLabels(
        {"This selection" + QString(summary_->frozen ? "" : " (judges)"),
         "Frozen" + QString(summary_->frozen ? " (judges)" : "")});
    FitColumns(*limits_);
}

}  // namespace qm4250
