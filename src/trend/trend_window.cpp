#include "trend/trend_window.h"

#include <QHBoxLayout>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>
#include <variant>

#include "archive/archived_instruments.h"
#include "archive/schema.h"
#include "trend/failure_texts.h"
#include "trend/limits_dialogs.h"

namespace qm4250 {

TrendWindow::TrendWindow(const ArchiveLocation& location, QWidget* parent)
    : QWidget(parent),
      location_(location),
      connection_(std::make_unique<ArchiveConnection>(location, ArchiveConnection::Access::Read)),
      exports_(location_, *connection_, selection_),
      changes_(location_, *connection_, selection_) {
    if (!connection_->isOpen())
        readable_ = connection_->error();
    else
        readable_ = CheckReadable(*connection_);
    setObjectName("TrendWindow");
    setWindowTitle("QM4250 Test Archive: " + location_.display());
    buildLayout();
    wireParts();
    judgingControls_->chooseFor(selection_.judging);
    if (readable_)
        filters_->showInstruments(ArchivedInstruments(*connection_));
}

TrendWindow::~TrendWindow() {
    table_->release();
}

void TrendWindow::buildLayout() {
    filters_ = new FilterBar(this);
    summary_ = new QLabel(this);
    summary_->setObjectName("summary");
    summary_->setTextFormat(Qt::PlainText);
    // A long summary takes a second line, not more width than the screen has.
    summary_->setWordWrap(true);
    chart_ = new ChartPanel(selection_, *connection_, this);
    judgingControls_ = new JudgingControls(this);
    chart_->addControls(judgingControls_);
    exportButtons_ = new ExportButtons(exports_, *filters_, *chart_, this);
    panels_ = new JudgingPanels(this);
    table_ = new TestTable(this);

    auto* top = new QHBoxLayout;
    top->addWidget(filters_);
    top->addStretch();
    top->addWidget(exportButtons_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(summary_);
    // The operator shares the height out between the charts, the panels and the table.
    auto* parts = new QSplitter(Qt::Vertical, this);
    parts->setChildrenCollapsible(false);
    for (QWidget* part : std::initializer_list<QWidget*>{chart_, panels_, table_})
        parts->addWidget(part);
    parts->setStretchFactor(0, 2);
    parts->setStretchFactor(1, 1);
    parts->setStretchFactor(2, 1);
    layout->addWidget(parts);
    // Fits a 1280 x 720 screen, and a smaller one's room.
    resize(QSize(1280, 720).boundedTo(screen()->availableGeometry().size()));
}

void TrendWindow::wireParts() {
    connect(filters_, &FilterBar::applyAsked, this, &TrendWindow::applyFilter);
    connect(table_, &TestTable::sortChosen, this, &TrendWindow::showTable);
    connect(chart_, &ChartPanel::drawn, this, &TrendWindow::showChart);
    connect(chart_, &ChartPanel::exclusionAsked, this,
            [this](qint64 id, bool out, const QString& reason) {
                out ? leaveOut(id, reason) : takeBack(id, reason);
            });
    connect(judgingControls_, &JudgingControls::changed, this, &TrendWindow::judgeByChoices);
    connect(judgingControls_, &JudgingControls::toleranceAsked, this, &TrendWindow::editTolerance);
    connect(judgingControls_, &JudgingControls::freezeAsked, this, &TrendWindow::editFrozenLimits);
    connect(exportButtons_, &ExportButtons::told, summary_, &QLabel::setText);
    connect(chart_, &ChartPanel::told, summary_, &QLabel::setText);
    connect(new QShortcut(QKeySequence("Ctrl+Q"), this), &QShortcut::activated, this,
            &QWidget::close);
}

TestFilter TrendWindow::filter() const {
    return filters_->filter();
}

bool TrendWindow::showRecent() {
    std::optional<QString> serial = readable_ ? filters_->chooseFirstInstrument() : std::nullopt;
    if (std::optional<NewestTest> newest =
            serial ? NewestTestOf(*connection_, *serial) : std::nullopt) {
        filters_->setFrom(newest->day.addDays(-29));
        chart_->setOpeningPn(newest->pn);
    }
    return applyFilter();
}

bool TrendWindow::applyFilter() {
    if (!readable_) {
        summary_->setText("The archive cannot be opened: " + ArchiveErrorText(readable_.error()));
        return false;
    }
    if (std::optional<QString> refusal = filters_->refusal()) {
        summary_->setText(*refusal);
        return false;
    }
    // As after a change stored here: what others stored since is seen only once the table's
    // query is let go.
    table_->release();
    filters_->showInstruments(ArchivedInstruments(*connection_));
    std::variant<JudgedSelection, SelectionNotRead> judged =
        SelectAndJudge(*connection_, filters_->filter(), selection_.judging);
    if (auto* notRead = std::get_if<SelectionNotRead>(&judged)) {
        selection_.selected = {};
        chart_->showPns();
        chart_->draw();
        summary_->setText(notRead->what == SelectionNotRead::What::Tests
                              ? NotReadText(notRead->error)
                              : "The limits and exclusions cannot be read: " +
                                    ArchiveErrorText(notRead->error));
        return false;
    }
    selection_ = std::move(std::get<JudgedSelection>(judged));
    panels_->showStatistics(StatisticsPerPart(selection_.selected, selection_.judging));
    chart_->showPns();
    chart_->draw();
    showTable();
    return true;
}

void TrendWindow::showChart(const QString& summary) {
    summary_->setText(summary);
    const ChartedPart& charted = selection_.charted;
    judgingControls_->offerFrozen(selection_.judging.frozen.count(charted.pn) > 0);
    panels_->showChart(*connection_, charted.series, charted.summary, selection_.judging,
                       charted.pn);
}

void TrendWindow::showTable() {
    if (Result<void, ArchiveError> shown = table_->showTests(*connection_, filters_->filter());
        !shown)
        summary_->setText(NotReadText(shown.error()));
}

void TrendWindow::judgeByChoices() {
    judgingControls_->chooseFor(selection_.judging);
    if (selection_.selected.points.empty())
        return;
    panels_->showStatistics(StatisticsPerPart(selection_.selected, selection_.judging));
    chart_->draw();
}

// After a change is stored: the archive's word on the selection read again, and everything
// judged by it.
bool TrendWindow::judgeAnew(const Result<void, JudgingRefusal>& kept) {
    if (!kept) {
        summary_->setText(RefusalText(kept.error()));
        return false;
    }
    // The table's query holds SQLite's view of the archive as it was: let go, the change is seen.
    table_->release();
    // A write may have made the archive readable at a newer schema.
    readable_ = CheckReadable(*connection_);
    if (!readable_)
        return false;
    Result<SelectionJudging, ArchiveError> read =
        ReadJudging(*connection_, selection_.selected.pns, selection_.judging);
    if (!read) {
        summary_->setText("The limits and exclusions cannot be read: " +
                          ArchiveErrorText(read.error()));
        return false;
    }
    selection_.judging = std::move(read.value());
    panels_->showStatistics(StatisticsPerPart(selection_.selected, selection_.judging));
    chart_->draw();
    showTable();
    return true;
}

bool TrendWindow::exportSelection(const QString& path) {
    return exportButtons_->exportSelection(path);
}

bool TrendWindow::saveChart(const QString& path) {
    return exportButtons_->saveChart(path);
}

bool TrendWindow::saveReport(const QString& path) {
    return exportButtons_->saveReport(path);
}

bool TrendWindow::exportStatistics(const QString& path) {
    return exportButtons_->exportStatistics(path);
}

bool TrendWindow::setTolerance(const QString& pn, const PartTolerance& tolerance) {
    return judgeAnew(changes_.setTolerance(pn, tolerance));
}

bool TrendWindow::freezeLimits(const QString& pn, const LimitsBaseline& baseline) {
    return judgeAnew(changes_.freezeLimits(pn, baseline));
}

bool TrendWindow::thawLimits(const QString& pn) {
    return judgeAnew(changes_.thawLimits(pn));
}

bool TrendWindow::leaveOut(qint64 testId, const QString& reason) {
    return judgeAnew(changes_.leaveOut(testId, reason));
}

bool TrendWindow::takeBack(qint64 testId, const QString& reason) {
    return judgeAnew(changes_.takeBack(testId, reason));
}

QString TrendWindow::chartedPn() const {
    return chart_->chartedPn();
}

void TrendWindow::editTolerance() {
    QString pn = chartedPn();
    if (pn.isEmpty())
        return;
    const SelectionJudging& judging = selection_.judging;
    PartTolerance now{judging.toleranceOf(pn).value_or(ToleranceLimits{}), judging.unitOf(pn)};
    if (auto asked = AskTolerance(this, pn, now))
        setTolerance(pn, *asked);
}

void TrendWindow::editFrozenLimits() {
    QString pn = chartedPn();
    if (pn.isEmpty())
        return;
    std::optional<std::variant<LimitsBaseline, Thaw>> asked =
        AskFreeze(this, pn, selection_.judging.frozen.count(pn) > 0, filters_->fromText(),
                  filters_->toText());
    if (!asked)
        return;
    if (auto* baseline = std::get_if<LimitsBaseline>(&*asked))
        freezeLimits(pn, *baseline);
    else
        thawLimits(pn);
}

}  // namespace qm4250
