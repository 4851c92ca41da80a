#include "trend/chart_layers.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace qm4250 {

QString LimitText(double value) {
    return QString::number(value, 'g', 5);
}

QString WithUnit(const QString& what, const QString& unit) {
    return unit.isEmpty() ? what : what + " (" + unit + ")";
}

QCPGraph* AddScatter(QCustomPlot& plot, const QString& name, const QCPScatterStyle& style) {
    QCPGraph* graph = plot.addGraph();
    graph->setName(name);
    graph->setLineStyle(QCPGraph::lsNone);
    graph->setScatterStyle(style);
    return graph;
}

namespace {

// Where a label's own y is kept, while the layout may move it; and whether a plot stacks its
// labels already.
constexpr const char* kLabelY = "labelY";
constexpr const char* kStacking = "stacksLabels";

void StackLabels(QCustomPlot& plot) {
    struct Placed {
        QCPItemText* label;
        double pixel;
    };
    std::vector<Placed> placed;
    double line = 0;
    const QCPRange view = plot.yAxis->range();
    for (int i = 0; i < plot.itemCount(); ++i) {
        auto* label = qobject_cast<QCPItemText*>(plot.item(i));
        QVariant y = label ? label->property(kLabelY) : QVariant();
        if (!y.isValid())
            continue;
        label->position->setCoords(1, y.toDouble());
        label->setVisible(view.contains(y.toDouble()));
        if (!label->visible())
            continue;
        placed.push_back({label, plot.yAxis->coordToPixel(y.toDouble())});
        line = std::max(line, QFontMetricsF(label->font()).height() + 1);
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.pixel < b.pixel; });
    // Pushed down each a line below the one above it, then the stack pulled back up where it
    // runs past the bottom of the view.
    for (size_t i = 1; i < placed.size(); ++i)
        placed[i].pixel = std::max(placed[i].pixel, placed[i - 1].pixel + line);
    double bottom = plot.axisRect()->bottom();
    for (size_t i = placed.size(); i-- > 0;) {
        bottom = std::min(placed[i].pixel, bottom);
        placed[i].pixel = bottom;
        bottom -= line;
    }
    for (const Placed& p : placed)
        if (p.pixel != plot.yAxis->coordToPixel(p.label->property(kLabelY).toDouble()))
            p.label->position->setCoords(1, plot.yAxis->pixelToCoord(p.pixel));
}

}  // namespace

void AddLabel(QCustomPlot& plot, const QString& name, double y, const QString& text,
              const QColor& colour) {
    auto* label = new QCPItemText(&plot);
    label->setObjectName(name);
    label->setProperty(kLabelY, y);
    label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    label->position->setTypeY(QCPItemPosition::ptPlotCoords);
    label->position->setCoords(1, y);
    // In the margin right of the plot, where no point can hide it.
    label->setClipToAxisRect(false);
    label->setPadding(QMargins(4, 0, 0, 0));
    label->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setFont(QFont("Liberation Sans", 8));
    label->setColor(colour);
    label->setText(text);
    if (!plot.property(kStacking).toBool()) {
        plot.setProperty(kStacking, true);
        QObject::connect(&plot, &QCustomPlot::afterLayout, &plot,
                         [plot = &plot] { StackLabels(*plot); });
    }
}

void AddLevel(QCustomPlot& plot, const QString& name, double y, const QPen& pen) {
    auto* line = new QCPItemStraightLine(&plot);
    line->setPen(pen);
    line->point1->setCoords(0, y);
    line->point2->setCoords(1, y);
    AddLabel(plot, name, y, name + " " + LimitText(y), pen.color());
}

void AddDensity(QCustomPlot& plot, const QString& name, const DensityGrid& grid, QColor colour) {
    auto* map = new QCPColorMap(plot.xAxis, plot.yAxis);
    map->setName(name);
    map->data()->setSize(static_cast<int>(grid.columns), static_cast<int>(grid.rows));
    double cellWidth = (grid.x.upper - grid.x.lower) / static_cast<double>(grid.columns);
    double cellHeight = (grid.y.upper - grid.y.lower) / static_cast<double>(grid.rows);
    map->data()->setRange(QCPRange(grid.x.lower + cellWidth / 2, grid.x.upper - cellWidth / 2),
                          QCPRange(grid.y.lower + cellHeight / 2, grid.y.upper - cellHeight / 2));
    uint32_t most =
        std::max<uint32_t>(1, *std::max_element(grid.counts.begin(), grid.counts.end()));
    for (size_t column = 0; column < grid.columns; ++column) {
        for (size_t row = 0; row < grid.rows; ++row) {
            uint32_t count = grid.at(column, row);
            // A square root keeps single tests visible beside crowded cells.
            double shade = count ? 0.3 + 0.7 * std::sqrt(double(count) / double(most)) : 0;
            map->data()->setCell(static_cast<int>(column), static_cast<int>(row), shade);
        }
    }
    QCPColorGradient gradient;
    gradient.setColorStopAt(0, QColor(255, 255, 255, 0));
    gradient.setColorStopAt(0.001, colour.lighter(160));
    gradient.setColorStopAt(1, colour);
    map->setGradient(gradient);
    map->setInterpolate(false);
    map->setDataRange(QCPRange(0, 1));
}

void AddMarks(QCustomPlot& plot, const std::vector<double>& xs) {
    for (double x : xs) {
        auto* mark = new QCPItemStraightLine(&plot);
        mark->setPen(QPen(Qt::gray, 1, Qt::DotLine));
        mark->point1->setCoords(x, 0);
        mark->point2->setCoords(x, 1);
    }
}

void SetTitle(QCustomPlot& plot, const QString& title) {
    auto* element = plot.findChild<QCPTextElement*>("title");
    if (!element) {
        plot.plotLayout()->insertRow(0);
        element = new QCPTextElement(&plot, title, QFont("Liberation Sans", 10, QFont::Bold));
        element->setObjectName("title");
        plot.plotLayout()->addElement(0, 0, element);
        plot.axisRect()->insetLayout()->take(plot.legend);
        plot.plotLayout()->insertRow(1);
        plot.plotLayout()->addElement(1, 0, plot.legend);
        plot.plotLayout()->setRowStretchFactor(1, 0.001);
        plot.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
        plot.legend->setBorderPen(Qt::NoPen);
    }
    element->setText(title);
}

void RemoveTitle(QCustomPlot& plot) {
    auto* element = plot.findChild<QCPTextElement*>("title");
    if (!element)
        return;
    plot.plotLayout()->remove(element);
    plot.plotLayout()->take(plot.legend);
    plot.axisRect()->insetLayout()->addElement(plot.legend, Qt::AlignRight | Qt::AlignTop);
    plot.plotLayout()->simplify();
}

void ShowRange(QCustomPlot& plot, const AxisRange& x, const AxisRange& y) {
    plot.xAxis->setRange(x.lower, x.upper);
    plot.yAxis->setRange(y.lower, y.upper);
    // Drawn once, when the event loop comes round: a filter change redraws three plots, and the
    // window paints them anyway.
    plot.replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace qm4250
