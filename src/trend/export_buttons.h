#pragma once

#include <QString>
#include <QWidget>

#include "trend/chart_panel.h"
#include "trend/filter_bar.h"
#include "trend/selection_exports.h"

namespace qm4250 {

// The archive window's exports, each behind a button that asks where to, suggesting a name of
// what it is, the PN and the day: the selection (.xls, .xlsx or .csv), the chart (.png or .svg),
// the PDF report, and the statistics with the charted tests (.xlsx). Each says what it came to;
// false when nothing was written. The selection, read through a connection of its own, is
// exported on a worker thread: the window goes on painting while the archive is slow.
class ExportButtons : public QWidget {
    Q_OBJECT
  public:
    ExportButtons(const SelectionExports& exports, const FilterBar& filters, ChartPanel& chart,
                  QWidget* parent);

    bool exportSelection(const QString& path);
    bool saveChart(const QString& path);
    bool saveReport(const QString& path);
    bool exportStatistics(const QString& path);

  signals:
    void told(const QString& text);

  private:
    const SelectionExports& exports_;
    const FilterBar& filters_;
    ChartPanel& chart_;
};

}  // namespace qm4250
