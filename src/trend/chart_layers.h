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

QCPGraph* AddScatter(QCustomPlot& plot, const QString& name, const QCPScatterStyle& style);

// A horizontal line across the whole view, with "<name> <value>" beside its right end, in the
// plot's right margin (which must leave it room: kLabelMargin); the label is an item named
// `name`.
inline constexpr int kLabelMargin = 118;
void AddLevel(QCustomPlot& plot, const QString& name, double y, const QPen& pen);

// The density of a large selection as shaded cells, clear where no test lies.
void AddDensity(QCustomPlot& plot, const QString& name, const DensityGrid& grid, QColor colour);

// A dotted vertical line at each x.
void AddMarks(QCustomPlot& plot, const std::vector<double>& xs);

// The title above the plot, replacing the last one, and the legend in one row under it, where
// it covers no point.
void SetTitle(QCustomPlot& plot, const QString& title);

void ShowRange(QCustomPlot& plot, const AxisRange& x, const AxisRange& y);

}  // namespace qm4250
