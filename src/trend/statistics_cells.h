#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "analysis/part_statistics.h"
#include "export/typed_workbook.h"

namespace qm4250 {

// The statistics of a part number as the window's table and the report print them: the same
// columns, the same numbers, "-" where a statistic needs more tests. n counts every test; "In
// limits" the process, which the mean, the sigmas and the indices describe.
QStringList StatisticsHeaders();
QStringList StatisticsCells(const PartStatistics& part);

// The same statistics as a workbook row: numbers as numbers (the reject rate in per cent), a cell
// of its own for each end of Cpk's interval and for each share outside, a text where the table
// says why there is no value, and an empty cell where it shows "-".
std::vector<std::string> StatisticsSheetHeaders();
TypedRow StatisticsSheetRow(const PartStatistics& part);

}  // namespace qm4250
