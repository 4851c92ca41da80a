#include "trend/statistics_workbook.h"

#include <QFile>

#include "export/typed_workbook.h"
#include "trend/chart_series.h"
#include "trend/statistics_cells.h"

namespace qm4250 {

namespace {

TypedCell TextCell(const QString& text) {
    return text.toStdString();
}

TypedRow PointRow(const ChartDataRow& point) {
    return {TextCell(point.pn),
            TextCell(point.seq),
            DateTime{static_cast<int64_t>(ChartTime(point.seconds))},
            point.leak ? TypedCell(*point.leak) : TypedCell(),
            TextCell(point.reject ? "yes" : "no"),
            TextCell(point.ruleBreaks),
            TextCell(point.exclusion)};
}

}  // namespace

bool WriteStatisticsWorkbook(const QString& path, const std::vector<PartStatistics>& parts,
                             const std::vector<ChartDataRow>& points) {
    TypedSheet statistics{"Statistics", StatisticsSheetHeaders(), parts.size(),
                          [&parts](size_t row) { return StatisticsSheetRow(parts[row]); }};
    TypedSheet chart{
        "Points",
        {"PN", "Seq#", "Tested at", "Leak", "Reject", "Run-rule breaks", "Exclusion reason"},
        points.size(),
        [&points](size_t row) { return PointRow(points[row]); }};
    return SaveTypedWorkbook({statistics, chart}, QFile::encodeName(path).toStdString());
}

}  // namespace qm4250
