#pragma once

#include <QDate>
#include <QString>

namespace qm4250 {

// A date written "YYYY-MM-DD" (as ParseIsoDate reads it) as Qt's; an invalid QDate when the text
// is not one.
QDate IsoDate(const QString& text);

}  // namespace qm4250
