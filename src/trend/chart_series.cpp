#include "trend/chart_series.h"

#include <QDateTime>
#include <algorithm>

namespace qm4250 {

double ChartTime(qint64 seconds) {
    constexpr qint64 kUnixTimeOf2004 = 1072915200;
    return static_cast<double>(seconds + kUnixTimeOf2004);
}

QString TestTimeText(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(ChartTime(seconds)), Qt::UTC)
        .toString("yyyy-MM-dd HH:mm:ss");
}

ChartSeries SeriesOf(std::span<const TestPoint> points, ChartAxis axis) {
    ChartSeries series;
    size_t numbers =
        static_cast<size_t>(std::count_if(points.begin(), points.end(), [](const TestPoint& point) {
            return point.leak.has_value();
        }));
    for (auto* column : {&series.x, &series.y})
        column->reserve(numbers);
    series.reject.reserve(numbers);
    series.adjacent.reserve(numbers);
    series.source.reserve(numbers);
    bool afterPoint = false;
    for (const TestPoint& point : points) {
        double sample = static_cast<double>(series.x.size()) + (point.leak ? 1 : 0.5);
        double x = axis == ChartAxis::Time ? ChartTime(point.seconds) : sample;
        if (point.powerUp)
            series.powerUps.push_back(x);
        if (!point.leak) {
            ++series.withoutNumber;
            afterPoint = false;
            continue;
        }
        series.x.push_back(x);
        series.y.push_back(*point.leak);
        series.reject.push_back(point.reject);
        series.adjacent.push_back(afterPoint);
        series.source.push_back(&point);
        afterPoint = true;
    }
    return series;
}

}  // namespace qm4250
