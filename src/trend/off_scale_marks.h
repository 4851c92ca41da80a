#pragma once

#include <qcustomplot.h>

#include <QColor>
#include <QObject>
#include <QPointer>
#include <cstddef>
#include <vector>

namespace qm4250 {

// The points beyond a plot's value range, drawn at its edge as triangles (pointing up at the top,
// down at the bottom), at most one a pixel column, and counted in the legend ("7 off scale");
// kept current as the view is zoomed or dragged.
class OffScaleMarks : public QObject {
  public:
    // Replaces the marks of the plot's last drawing.
    static OffScaleMarks& Add(QCustomPlot& plot, std::vector<double> x, std::vector<double> y,
                              const QColor& colour);

    // The points beyond the view as it is now.
    size_t count() const { return count_; }

  private:
    OffScaleMarks(QCustomPlot& plot, std::vector<double> x, std::vector<double> y,
                  const QColor& colour);
    void update();

    QCustomPlot& plot_;
    std::vector<double> x_, y_;
    // Gone when another chart clears the plot: the marks then go too.
    QPointer<QCPGraph> above_;
    QPointer<QCPGraph> below_;
    size_t count_ = 0;
};

}  // namespace qm4250
