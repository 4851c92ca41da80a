#include "archive/iso_date.h"

#include <optional>

#include "formats/calendar_date.h"

namespace qm4250 {

QDate IsoDate(const QString& text) {
    std::optional<CalendarDate> date = ParseIsoDate(text.toStdString());
    if (!date)
        return QDate();
    return QDate(static_cast<int>(date->year), static_cast<int>(date->month),
                 static_cast<int>(date->day));
}

}  // namespace qm4250
