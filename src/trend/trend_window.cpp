#include "trend/trend_window.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QSqlError>
#include <QSqlQuery>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QToolTip>
#include <utility>

#include "analysis/part_statistics.h"
#include "archive/schema.h"
#include "archive/test_selection.h"
#include "export/save_history_workbook.h"
#include "trend/chart_layers.h"
#include "trend/report_pages.h"
#include "trend/statistics_cells.h"

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

constexpr int kGridColumns = 12;

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
    grid->addWidget(histogram_, 3, 8, 2, 4);

    statistics_ = new QTableWidget(this);
    statistics_->setObjectName("statistics");
    const QStringList headers = StatisticsHeaders();
    statistics_->setColumnCount(static_cast<int>(headers.size()));
    statistics_->setHorizontalHeaderLabels(headers);
    statistics_->setMaximumHeight(130);
    grid->addWidget(statistics_, 5, 0, 1, kGridColumns);
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
    layout->addWidget(new QLabel("Chart of", row));
    layout->addWidget(chartPn_);
    layout->addWidget(chartAxis_);
    layout->addStretch();
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
    std::variant<std::map<QString, PartLimits>, ArchiveError> tolerances =
        StandingPartLimits(*connection_, selected_.pns);
    if (auto* error = std::get_if<ArchiveError>(&tolerances)) {
        summary_->setText("The tolerance limits cannot be read: " + ArchiveErrorText(*error));
        return false;
    }
    tolerances_ = std::move(std::get<std::map<QString, PartLimits>>(tolerances));
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
    fitted_ = DrawControlChart(*chart_, *movingRange_, series_, axis, title,
                               pooled ? std::nullopt : toleranceOf(pn.toString()));
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
}

std::optional<ToleranceLimits> TrendWindow::toleranceOf(const QString& pn) const {
    auto found = tolerances_.find(pn);
    if (found == tolerances_.end())
        return std::nullopt;
    return ToleranceLimits{found->second.lower, found->second.upper};
}

void TrendWindow::resetView() {
    ShowRange(*chart_, fitted_.x, fitted_.y);
    ShowRange(*movingRange_, fitted_.x, fitted_.movingRangeY);
}

// One row per PN with a numeric leak, in the order of their text.
void TrendWindow::showStatistics() {
    std::vector<std::vector<double>> leaks(selected_.pns.size());
    std::vector<size_t> rejects(selected_.pns.size());
    for (const TestPoint& point : selected_.points) {
        if (point.leak) {
            leaks[point.part].push_back(*point.leak);
            rejects[point.part] += point.reject;
        }
    }
    std::vector<PartStatistics> parts;
    for (size_t part = 0; part < leaks.size(); ++part)
        if (!leaks[part].empty())
            parts.push_back(StatisticsOfPart(selected_.pns[part].toStdString(), leaks[part],
                                             rejects[part], toleranceOf(selected_.pns[part])));
    std::sort(parts.begin(), parts.end(),
              [](const PartStatistics& a, const PartStatistics& b) { return a.pn < b.pn; });
    statistics_->setRowCount(static_cast<int>(parts.size()));
    for (int row = 0; row < static_cast<int>(parts.size()); ++row) {
        QStringList cells = StatisticsCells(parts[static_cast<size_t>(row)]);
        for (int column = 0; column < cells.size(); ++column)
            statistics_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
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

void TrendWindow::showPointAt(const QPoint& at) {
    const TestPoint* nearest = nullptr;
    double best = 64;  // within 8 pixels
    for (size_t i = 0; i < series_.x.size(); ++i) {
        double dx = chart_->xAxis->coordToPixel(series_.x[i]) - at.x();
        double dy = chart_->yAxis->coordToPixel(series_.y[i]) - at.y();
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = series_.source[i];
        }
    }
    if (!nearest) {
        QToolTip::hideText();
        return;
    }
    // Archived text is shown as the characters it is, never as markup.
    QToolTip::showText(
        chart_->mapToGlobal(at),
        Qt::convertFromPlainText(TestDetails(*connection_, nearest->id), Qt::WhiteSpacePre),
        chart_);
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
        path, selected_, tolerances_,
        {FilterDescription(filter()), location_.display(), QDateTime::currentDateTime()},
        static_cast<ChartAxis>(chartAxis_->currentData().toInt()));
    if (!written)
        summary_->setText("The report was not written: " + path);
    return written;
}

}  // namespace qm4250
