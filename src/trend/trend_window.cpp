#include "trend/trend_window.h"

#include <qcustomplot.h>

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QPdfWriter>
#include <QPushButton>
#include <QShortcut>
#include <QSqlError>
#include <QSqlQuery>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QToolTip>

#include "analysis/part_statistics.h"
#include "archive/schema.h"
#include "archive/test_selection.h"
#include "export/save_history_workbook.h"
#include "trend/control_chart_plot.h"

namespace qm4250 {

namespace {

// The table's columns, the SQL each shows and the SQL it sorts by; only these are ever put into
// ORDER BY. A Seq# of digits sorts as its number does (2 before 10), on SQLite and PostgreSQL.
struct Column {
    const char* title;
    const char* sql;
    const char* sortSql;
};
constexpr Column kColumns[] = {{"Instrument", "i.serial", "i.serial"},
                               {"Seq#", "t.seq", "LENGTH(t.seq), t.seq"},
                               {"PN", "t.pn", "t.pn"},
                               {"Cust Code", "t.cust_code", "t.cust_code"},
                               {"Leak", "t.leak", "t.leak"},
                               {"Err", "t.error_code", "t.error_code"},
                               {"Tested at", "t.tested_at", "t.tested_at"},
                               {"GP", "t.relay_gp", "t.relay_gp"},
                               {"BP", "t.relay_bp", "t.relay_bp"},
                               {"GE", "t.relay_ge", "t.relay_ge"}};

QString Number(double value) {
    return QString::number(value, 'g', 5);
}

QString Optional(const std::optional<double>& value) {
    return value ? Number(*value) : "-";
}

QString FilterText(const TestFilter& filter) {
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
    setWindowTitle("QM4250 Test Archive");
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
    instrument_ = new QComboBox(this);
    instrument_->setObjectName("instrument");
    pn_ = field("pn", "PN");
    custCode_ = field("custCode", "Cust Code");
    from_ = field("from", "from YYYY-MM-DD");
    to_ = field("to", "to YYYY-MM-DD");
    search_ = field("search", "Seq# or Cust Code contains");
    rejectsOnly_ = new QCheckBox("Rejects only", this);
    rejectsOnly_->setObjectName("rejectsOnly");
    auto* apply = new QPushButton("Apply", this);
    apply->setObjectName("apply");
    connect(apply, &QPushButton::clicked, this, &TrendWindow::applyFilter);
    auto* exportButton = new QPushButton("Export selection…", this);
    exportButton->setObjectName("exportSelection");
    connect(exportButton, &QPushButton::clicked, this, [this] {
        QString path = QFileDialog::getSaveFileName(
            this, "Export selection", {}, "Excel (*.xls);;Excel Workbook (*.xlsx);;CSV (*.csv)");
        if (!path.isEmpty())
            exportSelection(path);
    });
    auto* chartButton = new QPushButton("Save chart…", this);
    chartButton->setObjectName("saveChart");
    connect(chartButton, &QPushButton::clicked, this, [this] {
        QString path =
            QFileDialog::getSaveFileName(this, "Save chart", {}, "PNG (*.png);;SVG (*.svg)");
        if (!path.isEmpty())
            saveChart(path);
    });
    auto* reportButton = new QPushButton("PDF report…", this);
    reportButton->setObjectName("saveReport");
    connect(reportButton, &QPushButton::clicked, this, [this] {
        QString path = QFileDialog::getSaveFileName(this, "PDF report", {}, "PDF (*.pdf)");
        if (!path.isEmpty())
            saveReport(path);
    });
    auto* resetButton = new QPushButton("Reset view", this);
    resetButton->setObjectName("resetView");
    resetButton->setToolTip("Fit the chart to every point and both limits (Ctrl+0, double-click)");
    connect(resetButton, &QPushButton::clicked, this, &TrendWindow::resetView);
    connect(new QShortcut(QKeySequence("Ctrl+0"), this), &QShortcut::activated, this,
            &TrendWindow::resetView);
    connect(new QShortcut(QKeySequence("Ctrl+Q"), this), &QShortcut::activated, this,
            &QWidget::close);
    QWidget* filters[] = {instrument_,  pn_,         custCode_,    from_,
                          to_,          search_,     rejectsOnly_, apply,
                          exportButton, chartButton, reportButton, resetButton};
    for (int i = 0; i < static_cast<int>(std::size(filters)); ++i)
        grid->addWidget(filters[i], 0, i);

    summary_ = new QLabel(this);
    summary_->setObjectName("summary");
    summary_->setTextFormat(Qt::PlainText);
    grid->addWidget(summary_, 1, 0, 1, 12);
    chart_ = new QCustomPlot(this);
    chart_->setObjectName("controlChart");
    chart_->setMinimumSize(700, 320);
    chart_->setMouseTracking(true);
    connect(chart_, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* event) { showPointAt(event->pos()); });
    connect(chart_, &QCustomPlot::mouseDoubleClick, this, &TrendWindow::resetView);
    grid->addWidget(chart_, 2, 0, 1, 7);
    histogram_ = new QCustomPlot(this);
    histogram_->setObjectName("histogram");
    histogram_->setMinimumSize(300, 320);
    grid->addWidget(histogram_, 2, 7, 1, 5);
    statistics_ = new QTableWidget(this);
    statistics_->setObjectName("statistics");
    const QStringList headers{"PN", "n",   "Reject rate", "Mean", "σ overall", "σ (MR)",     "LCL",
                              "CL", "UCL", "Min",         "Max",  "Mean + 3σ", "Rule breaks"};
    statistics_->setColumnCount(static_cast<int>(headers.size()));
    statistics_->setHorizontalHeaderLabels(headers);
    grid->addWidget(statistics_, 3, 0, 1, 12);
    tests_ = new QTableView(this);
    tests_->setObjectName("tests");
    tests_->setModel(&model_);
    tests_->setSortingEnabled(false);
    tests_->horizontalHeader()->setSortIndicatorShown(true);
    tests_->horizontalHeader()->setSectionsClickable(true);
    connect(tests_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &TrendWindow::sortTable);
    grid->addWidget(tests_, 4, 0, 1, 12);
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
            "SELECT MAX(t.tested_at) FROM tests t JOIN instruments i"
            " ON i.id = t.instrument_id WHERE i.serial = ?");
        query.addBindValue(instrument_->currentData());
        if (query.exec() && query.next() && !query.value(0).isNull()) {
            QDate newest = QDate::fromString(query.value(0).toString().left(10), "yyyy-MM-dd");
            from_->setText(newest.addDays(-29).toString("yyyy-MM-dd"));
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

void TrendWindow::resetView() {
    ShowRange(*chart_, fitted_.x, fitted_.y);
}

bool TrendWindow::applyFilter() {
    if (unreadable_) {
        summary_->setText("The archive cannot be opened: " + ArchiveErrorText(*unreadable_));
        return false;
    }
    if (!datesReadable())
        return false;
    fillInstruments();
    std::variant<std::vector<TestPoint>, ArchiveError> points =
        SelectTestPoints(*connection_, filter());
    if (auto* error = std::get_if<ArchiveError>(&points)) {
        points_.clear();
        DrawControlChart(*chart_, points_);
        summary_->setText("The archive cannot be read: " + ArchiveErrorText(*error));
        return false;
    }
    points_ = std::move(std::get<std::vector<TestPoint>>(points));
    ChartSummary chart = DrawControlChart(*chart_, points_);
    fitted_ = chart;
    DrawHistogram(*histogram_, points_, chart.limits);
    showStatistics();
    showTable(filter());
    summary_->setText(
        QString("%1 tests, %2 with a numeric leak; mean %3, σ (MR) %4, %5 rule breaks")
            .arg(chart.tests)
            .arg(chart.withLeak)
            .arg(chart.limits ? Number(chart.limits->mean) : "-")
            .arg(chart.limits ? Number(chart.limits->sigmaMovingRange) : "-")
            .arg(chart.ruleBreaks));
    return true;
}

void TrendWindow::showStatistics() {
    std::vector<LeakSample> samples;
    for (const TestPoint& point : points_)
        if (point.leak)
            samples.push_back({point.pn.toStdString(), *point.leak, point.reject});
    std::vector<PartStatistics> parts = StatisticsByPart(samples);
    statistics_->setRowCount(static_cast<int>(parts.size()));
    for (int row = 0; row < static_cast<int>(parts.size()); ++row) {
        const PartStatistics& p = parts[static_cast<size_t>(row)];
        auto limit = [&p](double ControlLimits::*member) {
            return p.limits ? Number((*p.limits).*member) : "-";
        };
        QStringList cells{QString::fromStdString(p.pn),
                          QString::number(p.n),
                          Number(p.rejectRate * 100) + " %",
                          Number(p.mean),
                          Optional(p.sigmaOverall),
                          Optional(p.sigmaMovingRange),
                          limit(&ControlLimits::lower),
                          limit(&ControlLimits::mean),
                          limit(&ControlLimits::upper),
                          Number(p.min),
                          Number(p.max),
                          Optional(p.suggestedSetPoint),
                          QString::number(p.ruleBreaks)};
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

void TrendWindow::showPointAt(const QPoint& at) {
    const TestPoint* nearest = nullptr;
    double best = 64;  // within 8 pixels
    for (const TestPoint& point : points_) {
        if (!point.leak)
            continue;
        double dx = chart_->xAxis->coordToPixel(ChartTime(point.seconds)) - at.x();
        double dy = chart_->yAxis->coordToPixel(*point.leak) - at.y();
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = &point;
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
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(96);
    pdf.setTitle("QM4250 Test Archive report");
    QCPPainter painter;
    if (!painter.begin(&pdf))
        return false;
    QRect page = painter.viewport();
    int margin = 24;
    int width = page.width() - 2 * margin;
    painter.setFont(QFont("Liberation Sans", 12, QFont::Bold));
    painter.drawText(margin, margin + 14, "QM4250 Test Archive: " + FilterText(filter()));
    painter.setFont(QFont("Liberation Sans", 8));
    painter.drawText(margin, margin + 32, summary_->text());
    int chartHeight = page.height() * 45 / 100;
    painter.save();
    painter.translate(margin, margin + 44);
    chart_->toPainter(&painter, width * 2 / 3, chartHeight);
    painter.translate(width * 2 / 3 + 8, 0);
    histogram_->toPainter(&painter, width / 3 - 8, chartHeight);
    painter.restore();
    int y = margin + 44 + chartHeight + 20;
    for (int row = -1; row < statistics_->rowCount(); ++row) {
        for (int column = 0; column < statistics_->columnCount(); ++column) {
            QString cell = row < 0 ? statistics_->horizontalHeaderItem(column)->text()
                                   : statistics_->item(row, column)->text();
            painter.drawText(margin + column * width / statistics_->columnCount(), y, cell);
        }
        y += 14;
        if (y > page.height() - margin)
            break;  // one page: the statistics of further part numbers are in the window
    }
    return painter.end();
}

}  // namespace qm4250
