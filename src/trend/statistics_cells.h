#pragma once

#include <QStringList>

#include "analysis/part_statistics.h"

namespace qm4250 {

// The statistics of a part number as the window's table and the report print them: the same
// columns, the same numbers, "-" where a statistic needs more tests.
QStringList StatisticsHeaders();
QStringList StatisticsCells(const PartStatistics& part);

}  // namespace qm4250
