#include "trend/fit_columns.h"

#include <QHeaderView>

namespace qm4250 {

void FitColumns(QTableView& table) {
    table.resizeColumnsToContents();
    const int widest = table.fontMetrics().averageCharWidth() * 60;
    for (int column = 0; column < table.horizontalHeader()->count(); ++column)
        if (table.columnWidth(column) > widest)
            table.setColumnWidth(column, widest);
}

}  // namespace qm4250
