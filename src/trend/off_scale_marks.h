#pragma once

#include <qcustomplot.h>

#include <QColor>
#include <QObject>
#include <QPointer>
#include <cstddef>
#include <vector>

#include "analysis/axis_range.h"

namespace qm4250 {

// The points beyond a plot's fitted value range, drawn at the edge of the view as triangles
// (pointing up at the top, down at the bottom), at most one a pixel column, and counted in the
// legend ("7 off scale"). As the view is zoomed or dragged, those it comes to hold are drawn as
// themselves and the rest stay on its edge; only these points are kept, not every point drawn.
class OffScaleMarks : public QObject {
  public:
    // Replaces the marks of the plot's last drawing.
    static OffScaleMarks& Add(QCustomPlot& plot, const std::vector<double>& x,
                              const std::vector<double>& y, const AxisRange& fitted,
                              const QColor& colour);

    // Those points beyond the view as it is now.
    size_t count() const { return count_; }

  private:
    OffScaleMarks(QCustomPlot& plot, const std::vector<double>& x, const std::vector<double>& y,
                  const AxisRange& fitted, const QColor& colour);
    void update();

    QCustomPlot& plot_;
    std::vector<double> x_, y_;
    // Gone when another chart clears the plot: the marks then go too.
    QPointer<QCPGraph> above_;
    QPointer<QCPGraph> below_;
    size_t count_ = 0;
};

}  // namespace qm4250
