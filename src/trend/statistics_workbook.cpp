#include "trend/statistics_workbook.h"

#include <QFile>
#include <algorithm>

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

// The points' leak heading: with the unit where they are all of one PN that has one.
std::string LeakHeading(const std::vector<PartStatistics>& parts,
                        const std::vector<ChartDataRow>& points) {
    bool onePn = std::all_of(points.begin(), points.end(), [&points](const ChartDataRow& point) {
        return point.pn == points.front().pn;
    });
    if (points.empty() || !onePn)
        return "Leak";
    std::string pn = points.front().pn.toStdString();
    auto part = std::find_if(parts.begin(), parts.end(),
                             [&pn](const PartStatistics& p) { return p.pn == pn; });
    return part == parts.end() || part->unit.empty() ? "Leak" : "Leak (" + part->unit + ")";
}

}  // namespace

Result<void> WriteStatisticsWorkbook(const QString& path, const std::vector<PartStatistics>& parts,
                                     const std::vector<ChartDataRow>& points) {
    TypedSheet statistics{"Statistics", StatisticsSheetHeaders(), parts.size(),
                          [&parts](size_t row) { return StatisticsSheetRow(parts[row]); }};
    TypedSheet chart{"Points",
                     {"PN", "Seq#", "Tested at", LeakHeading(parts, points), "Reject",
                      "Run-rule breaks", "Exclusion reason"},
                     points.size(),
                     [&points](size_t row) { return PointRow(points[row]); }};
    return SaveTypedWorkbook({statistics, chart}, QFile::encodeName(path).toStdString());
}

}  // namespace qm4250
