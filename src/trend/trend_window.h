#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>
#include <memory>

#include "archive/archive_connection.h"
#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "result/result.h"
#include "trend/baseline_limits.h"
#include "trend/chart_panel.h"
#include "trend/export_buttons.h"
#include "trend/filter_bar.h"
#include "trend/judged_selection.h"
#include "trend/judging_changes.h"
#include "trend/judging_controls.h"
#include "trend/judging_panels.h"
#include "trend/selection_exports.h"
#include "trend/test_table.h"

namespace qm4250 {

// The archive window: the filters, the selected tests in a table fetched as it scrolls, the
// chart of one part number with its moving-range chart and histogram, how they are judged, the
// statistics per part number, and the exports. It lays its parts out and wires them; they share
// the selection as judged. Every filter is a query with bound values; the window never loads the
// whole archive.
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
    // a page per part number; the statistics of every PN and the charted tests.
    bool exportSelection(const QString& path);
    bool saveChart(const QString& path);
    bool saveReport(const QString& path);
    bool exportStatistics(const QString& path);

    // Changes kept in the archive, each with who made it and when; the window then judges anew.
    // False, with the reason shown, when the archive is not written.
    bool setTolerance(const QString& pn, const PartTolerance& tolerance);
    bool freezeLimits(const QString& pn, const LimitsBaseline& baseline);
    bool thawLimits(const QString& pn);
    bool leaveOut(qint64 testId, const QString& reason);
    bool takeBack(qint64 testId, const QString& reason);
    // The PN charted; null when every PN is pooled.
    QString chartedPn() const;

  private:
    void buildLayout();
    void wireParts();
    void showChart(const QString& summary);
    void showTable();
    void judgeByChoices();
    bool judgeAnew(const Result<void, JudgingRefusal>& kept);
    void editTolerance();
    void editFrozenLimits();

    ArchiveLocation location_;
    std::unique_ptr<ArchiveConnection> connection_;
    Result<void, ArchiveError> readable_;  // whether the archive can be read, and why not
    JudgedSelection selection_;
    SelectionExports exports_;
    JudgingChanges changes_;

    FilterBar* filters_;
    ExportButtons* exportButtons_;
    QLabel* summary_;
    ChartPanel* chart_;
    JudgingControls* judgingControls_;
    JudgingPanels* panels_;
    TestTable* table_;
};

}  // namespace qm4250
