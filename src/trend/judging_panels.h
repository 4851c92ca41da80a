#pragma once

#include <QString>
#include <QTabWidget>
#include <QTableWidget>
#include <vector>

#include "analysis/part_statistics.h"
#include "archive/archive_connection.h"
#include "trend/chart_series.h"
#include "trend/control_chart_plot.h"
#include "trend/selection_judging.h"

namespace qm4250 {

// The archive window's tabs under the charts: the statistics per PN, the charted PN's rule
// breaks and tests left out of the limits (Seq#, time, leak, why), and its own limits beside the
// frozen ones. The tabs count what they hold; the lists and the limits are filled only when their
// tab is shown: listing breaks costs a tenth of a redraw, and most redraws are looked at on the
// statistics. A list whose Seq#s cannot be read says why in their place.
class JudgingPanels : public QTabWidget {
    Q_OBJECT
  public:
    // The window lists this many rule breaks at most; its tab says how many there are.
    static constexpr size_t kBreaksListed = 1000;

    explicit JudgingPanels(QWidget* parent);

    void showStatistics(const std::vector<PartStatistics>& parts);
    // What the chart of `pn` (null when pooled) shows; the panels read it whenever they are
    // shown, so it must live as long as they do and be set again after each redraw.
    void showChart(ArchiveConnection& connection, const ChartSeries& series,
                   const ChartSummary& summary, const SelectionJudging& judging, const QString& pn);

  private:
    void fillShown();
    void showLists();
    void showNotRead(const ArchiveError& error);
    void showLimits();

    QTableWidget* statistics_;
    QTableWidget* breaks_;
    QTableWidget* leftOut_;
    QTableWidget* limits_;
    ArchiveConnection* connection_ = nullptr;
    const ChartSeries* series_ = nullptr;
    const ChartSummary* summary_ = nullptr;
    const SelectionJudging* judging_ = nullptr;
    QString pn_;
};

}  // namespace qm4250
