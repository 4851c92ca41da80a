#include "archive/change_time.h"

namespace qm4250 {

QString ChangeTimeText(const QDateTime& when) {
    return when.toUTC().toString(Qt::ISODateWithMs);
}

// A time without a zone would otherwise be taken as local time.
QDateTime ChangeTimeOf(const QString& text) {
    QDateTime when = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (when.isValid() && when.timeSpec() == Qt::LocalTime)
        when.setTimeSpec(Qt::UTC);
    return when.toUTC();
}

}  // namespace qm4250
