#pragma once

#include <QTableView>

namespace qm4250 {

// Each column as wide as its heading and the cells loaded need, so that no text is cut and no
// time stamp wraps; none wider than about 60 characters, so that one long text (a reason, a PN)
// does not push the others out of view. Called on new data: the operator's widths stay until then.
void FitColumns(QTableView& table);

}  // namespace qm4250
