#pragma once

#include <QColor>
#include <QPen>
#include <QString>
#include <vector>

#include "analysis/axis_range.h"
#include "analysis/density_grid.h"

class QCustomPlot;
class QCPGraph;
class QCPScatterStyle;

namespace qm4250 {

// The pieces every chart here is drawn with.

// A limit or centre line as a number is printed on it.
QString LimitText(double value);

// An axis or a heading of leaks with the PN's unit where it has one: "leak (sccm)".
QString WithUnit(const QString& what, const QString& unit);

QCPGraph* AddScatter(QCustomPlot& plot, const QString& name, const QCPScatterStyle& style);

// A label beside the right edge of the view at y, in the plot's right margin (which must leave it
// room: kLabelMargin), an item named `name`. Whenever the plot is laid out, on screen or on
// paper, labels that would overlap are stacked apart as near their own y as they can be, and a
// label whose y is out of view is hidden.
inline constexpr int kLabelMargin = 118;
void AddLabel(QCustomPlot& plot, const QString& name, double y, const QString& text,
              const QColor& colour);
// A horizontal line across the whole view, labelled "<name> <value>".
void AddLevel(QCustomPlot& plot, const QString& name, double y, const QPen& pen);

// The density of a large selection as shaded cells, clear where no test lies.
void AddDensity(QCustomPlot& plot, const QString& name, const DensityGrid& grid, QColor colour);

// A dotted vertical line at each x.
void AddMarks(QCustomPlot& plot, const std::vector<double>& xs);

// The title above the plot, replacing the last one, and the legend in one row under it, where
// it covers no point.
void SetTitle(QCustomPlot& plot, const QString& title);
// The plot as it was before a title was set: its legend back inside the axes.
void RemoveTitle(QCustomPlot& plot);

void ShowRange(QCustomPlot& plot, const AxisRange& x, const AxisRange& y);

}  // namespace qm4250
