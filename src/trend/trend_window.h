#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QSqlQueryModel>
#include <QTableView>
#include <QToolButton>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/capability.h"
#include "archive/archive_connection.h"
#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "archive/test_points.h"
#include "trend/baseline_limits.h"
#include "trend/chart_series.h"
#include "trend/control_chart_plot.h"
#include "trend/judging_panels.h"
#include "trend/selection_judging.h"
#include "trend/subgroup_chart_plot.h"

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
    // The statistics of every PN and the charted tests, numbers as numbers and times as dates.
    bool exportStatistics(const QString& path);

    // Changes kept in the archive, each with who made it and when; the window then judges anew.
    // False, with the reason shown, when the archive is not written.
    bool setTolerance(const QString& pn, std::optional<double> lower, double upper);
    bool freezeLimits(const QString& pn, const LimitsBaseline& baseline);
    bool thawLimits(const QString& pn);
    bool leaveOut(qint64 testId, const QString& reason);
    bool takeBack(qint64 testId, const QString& reason);
    // The PN charted; null when every PN is pooled.
    QString chartedPn() const;

  private:
    void buildControls();
    QWidget* buildChartControls();
    QWidget* buildJudgingControls();
    void fillInstruments();
    bool datesReadable();
    void fillChartPns();
    void drawChart();
    void drawChosenChart(const QString& pn);
    void resetView();
    bool readJudging();
    bool judgeAnew(const std::optional<ArchiveError>& stored, const QString& what);
    void chooseRules();
    void showTable(const TestFilter& filter);
    std::vector<PartStatistics> partStatistics() const;
    void showStatistics();
    std::optional<size_t> pointAt(const QPoint& at) const;
    void showPointAt(const QPoint& at);
    void offerPointMenu(const QPoint& at);
    void editTolerance();
    void editFrozenLimits();
    void sortTable(int column, Qt::SortOrder order);
    void copySelectedCells();

    ArchiveLocation location_;
    std::unique_ptr<ArchiveConnection> connection_;
    std::optional<ArchiveError> unreadable_;  // why the archive cannot be read, if it cannot
    SelectedTests selected_;
    SelectionJudging judging_;            // what stands in the archive for the selection's PNs
    std::vector<TestPoint> chartPoints_;  // those of the charted part number
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
    QComboBox* chartType_;
    QComboBox* subgroupBy_;
    QSpinBox* subgroupSize_;
    QLineEdit* shiftStarts_;
    QToolButton* rules_;
    QCheckBox* rejectsOut_;
    QCheckBox* judgeByFrozen_;
    JudgingPanels* panels_;
    QCustomPlot* chart_;
    QCustomPlot* movingRange_;
    QCustomPlot* histogram_;
    QTableView* tests_;
    QSqlQueryModel model_;
};

}  // namespace qm4250
