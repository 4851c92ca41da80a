#include "trend/off_scale_marks.h"

#include <qcustomplot.h>

#include <QLocale>
#include <algorithm>

#include "trend/chart_layers.h"

namespace qm4250 {

namespace {

constexpr const char* kName = "offScaleMarks";

}  // namespace

OffScaleMarks& OffScaleMarks::Add(QCustomPlot& plot, const std::vector<double>& x,
                                  const std::vector<double>& y, const AxisRange& fitted,
                                  const QColor& colour) {
    delete plot.findChild<OffScaleMarks*>(kName, Qt::FindDirectChildrenOnly);
    return *new OffScaleMarks(plot, x, y, fitted, colour);
}

OffScaleMarks::OffScaleMarks(QCustomPlot& plot, const std::vector<double>& x,
                             const std::vector<double>& y, const AxisRange& fitted,
                             const QColor& colour)
    : QObject(&plot), plot_(plot) {
    setObjectName(kName);
    for (size_t i = 0; i < y.size(); ++i) {
        if (y[i] < fitted.lower || y[i] > fitted.upper) {
            x_.push_back(x[i]);
            y_.push_back(y[i]);
        }
    }
    QPen pen(colour, 1.5);
    above_ = AddScatter(plot, "off scale",
                        QCPScatterStyle(QCPScatterStyle::ssTriangle, pen, colour.lighter(150), 9));
    below_ = AddScatter(
        plot, "off scale below",
        QCPScatterStyle(QCPScatterStyle::ssTriangleInverted, pen, colour.lighter(150), 9));
    below_->removeFromLegend();
    connect(plot.yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &OffScaleMarks::update);
    connect(plot.xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &OffScaleMarks::update);
    update();
}

void OffScaleMarks::update() {
    if (!above_ || !below_) {
        deleteLater();
        return;
    }
    const QCPRange x = plot_.xAxis->range();
    const QCPRange y = plot_.yAxis->range();
    // A column of pixels holds one mark of each kind: a million tests beyond the view need not be
    // a million triangles on one line.
    const size_t columns = static_cast<size_t>(std::max(plot_.width(), 200));
    std::vector<bool> aboveTaken(columns), belowTaken(columns);
    // Half a mark inside the edge, so that the view does not cut it in two.
    const double inset = y.size() * 5 / std::max(plot_.axisRect()->height(), 100);
    QVector<QCPGraphData> above, below;
    count_ = 0;
    for (size_t i = 0; i < y_.size(); ++i) {
        bool high = y_[i] > y.upper, low = y_[i] < y.lower;
        if (!high && !low)
            continue;
        ++count_;
        if (!x.contains(x_[i]))
            continue;
        auto column = std::min(columns - 1, static_cast<size_t>((x_[i] - x.lower) / x.size() *
                                                                static_cast<double>(columns)));
        std::vector<bool>& taken = high ? aboveTaken : belowTaken;
        if (!taken[column]) {
            taken[column] = true;
            (high ? above : below).append({x_[i], high ? y.upper - inset : y.lower + inset});
        }
    }
    above_->data()->set(above, true);
    below_->data()->set(below, true);
    above_->setName(QLocale(QLocale::English).toString(static_cast<qulonglong>(count_)) +
                    " off scale");
    if (count_ == 0)
        above_->removeFromLegend();
    else
        above_->addToLegend();
}

}  // namespace qm4250
