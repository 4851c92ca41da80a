#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTableWidget>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/capability.h"
#include "archive/archive_connection.h"
#include "archive/archive_location.h"
#include "archive/part_limits.h"
#include "archive/test_filter.h"
#include "archive/test_points.h"
#include "trend/chart_series.h"
#include "trend/control_chart_plot.h"

class QCustomPlot;

namespace qm4250 {

// The archive window: filters, the selected tests in a table fetched as it scrolls, the control
// chart of one part number with its moving-range chart and histogram, and statistics per part
// number. Every filter is a query with bound values; the window never loads the whole archive.
class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TrendWindow(const ArchiveLocation& location, QWidget* parent = nullptr);
    ~TrendWindow() override;

    // The filter the controls hold.
    TestFilter filter() const;
    // Runs the filter: table, charts, statistics. False, with the reason shown, when a date is
    // not one or the archive cannot be read.
    bool applyFilter();
    // What the window shows first: the first instrument's last 30 days of tests, charting the
    // part number it tested last.
    bool showRecent();
    // The selection to .xls, .xlsx or .csv; the control chart to .png or .svg; a PDF report of
    // a page per part number.
    bool exportSelection(const QString& path);
    bool saveChart(const QString& path);
    bool saveReport(const QString& path);

  private:
    void buildControls();
    QWidget* buildChartControls();
    void fillInstruments();
    bool datesReadable();
    void fillChartPns();
    void drawChart();
    void resetView();
    std::optional<ToleranceLimits> toleranceOf(const QString& pn) const;
    void showTable(const TestFilter& filter);
    void showStatistics();
    void showPointAt(const QPoint& at);
    void sortTable(int column, Qt::SortOrder order);
    void copySelectedCells();

    ArchiveLocation location_;
    std::unique_ptr<ArchiveConnection> connection_;
    std::optional<ArchiveError> unreadable_;  // why the archive cannot be read, if it cannot
    SelectedTests selected_;
    std::map<QString, PartLimits> tolerances_;  // standing for the selection's PNs
    std::vector<TestPoint> chartPoints_;        // those of the charted part number
    ChartSeries series_;
    ChartSummary fitted_;  // the chart as last drawn, for resetting its view
    QString openingPn_;    // charted when the window opens, if the selection holds it
    QVariant chosenPn_;    // the operator's choice in the chooser; null for pooled
    bool pnChosen_ = false;
    QString order_ = "t.tested_at, t.id";

    QComboBox* instrument_;
    QLineEdit* pn_;
    QLineEdit* custCode_;
    QLineEdit* from_;
    QLineEdit* to_;
    QCheckBox* rejectsOnly_;
    QLineEdit* search_;
    QLabel* summary_;
    QComboBox* chartPn_;
    QComboBox* chartAxis_;
    QCustomPlot* chart_;
    QCustomPlot* movingRange_;
    QCustomPlot* histogram_;
    QTableWidget* statistics_;
    QTableView* tests_;
    QSqlQueryModel model_;
};

}  // namespace qm4250
