#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace qm4250 {

// The extensions a save dialog's filter names, without their dots: "Excel Workbook (*.xlsx)"
// gives "xlsx".
QStringList FilterExtensions(const QString& filter);

// The name a save dialog suggests: what is saved, the PN where there is one and the day, as
// "report-A12-2026-12-09.pdf". A character of the PN a file name had better not hold becomes "_".
QString SuggestedFileName(const QString& what, const QString& pn, const QDate& day,
                          const QString& extension);

// The path as the operator typed it, with the chosen filter's extension added where it ends in
// none of the filters' ("stats-A12" becomes "stats-A12.xlsx" with .xlsx chosen). One of theirs,
// in any case, is kept, as the writers go by it: "chart.svg" stays with PNG chosen.
QString WithExtension(const QString& path, const QString& chosenFilter, const QStringList& filters);

}  // namespace qm4250
