#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "analysis/part_statistics.h"
#include "result/result.h"

namespace qm4250 {

// A test of the chart as a workbook lists it.
struct ChartDataRow {
    QString pn;
    QString seq;
    qint64 seconds = 0;          // the raw time stamp, read as the chart reads it
    std::optional<double> leak;  // none when the leak text is not a number
    bool reject = false;
    QString ruleBreaks;  // the run rules it breaks, as the window names them; empty for none
    QString exclusion;   // why it is left out of the limits; empty when it is not
};

// Saves the statistics of each part number (the sheet "Statistics", a row each, the columns of
// the window's table with numbers as numbers) and the chart's tests (the sheet "Points", and past
// a worksheet's rows "Points (2)" …: the tested-at times as dates, the leaks as numbers) as an
// .xlsx workbook, replacing the file at path only once the new one is complete, as
// SaveTypedWorkbook saves.
Result<void> WriteStatisticsWorkbook(const QString& path, const std::vector<PartStatistics>& parts,
                                     const std::vector<ChartDataRow>& points);

}  // namespace qm4250
