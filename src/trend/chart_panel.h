#pragma once

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <optional>

#include "analysis/axis_range.h"
#include "archive/archive_connection.h"
#include "trend/chart_series.h"
#include "trend/judged_selection.h"

class QCustomPlot;

namespace qm4250 {

// The chart of one part number: the choice of the PN (or of every PN pooled), of the x axis and
// of the chart with its subgroups; the control chart, its moving-range chart and the histogram;
// the view fitted again by Reset view, Ctrl+0 or a double-click; a point's fields in its
// tooltip, and its menu to leave it out of the limits or take it back.
class ChartPanel : public QWidget {
    Q_OBJECT
  public:
    ChartPanel(JudgedSelection& selection, ArchiveConnection& connection, QWidget* parent);

    // More controls, in a row of their own under the chooser's.
    void addControls(QWidget* controls);
    // Charted once, when the selection holds it, before the operator chooses.
    void setOpeningPn(const QString& pn) { openingPn_ = pn; }
    // The selection's PNs to choose from: the operator's last choice while the selection holds
    // it, else the opening PN, else the most tested. Pooling every PN under one set of limits is
    // offered last, and charted only when chosen.
    void showPns();
    // Charts the PN chosen into the selection's chart, judged as the selection says, and tells
    // what it shows.
    void draw();
    void resetView();

    // The PN charted; null when every PN is pooled.
    QString chartedPn() const;
    ChartAxis axis() const;
    QCustomPlot& controlChart() { return *chart_; }

  signals:
    void drawn(const QString& summary);
    void exclusionAsked(qint64 testId, bool leaveOut, const QString& reason);
    // What the operator must be told: the archive could not name the test a menu was asked for.
    void told(const QString& text);

  private:
    QWidget* buildControls();
    QString drawChosenChart(const QString& pn);
    std::optional<size_t> pointAt(const QPoint& at) const;
    void showPointAt(const QPoint& at);
    void offerPointMenu(const QPoint& at);

    JudgedSelection& selection_;
    ArchiveConnection& connection_;
    QString openingPn_;
    QVariant chosenPn_;  // the operator's choice; null for pooled
    bool pnChosen_ = false;
    AxisRange fittedX_, fittedY_, fittedSpreadY_;  // what resetting the view shows

    QGridLayout* grid_;
    QComboBox* chartPn_;
    QComboBox* chartAxis_;
    QComboBox* chartType_;
    QComboBox* subgroupBy_;
    QSpinBox* subgroupSize_;
    QLineEdit* shiftStarts_;
    QCustomPlot* chart_;
    QCustomPlot* movingRange_;
    QCustomPlot* histogram_;
};

}  // namespace qm4250
