#pragma once

#include <QDateTime>
#include <QString>

namespace qm4250 {

// When a change (of tolerance limits, frozen limits, an exclusion) was made, as the archive keeps
// it: ISO 8601 in UTC to the millisecond, "2026-12-09T16:20:00.250Z". Text of that form sorts in
// time order.
QString ChangeTimeText(const QDateTime& when);

// A change's time read back, in UTC: that form, the same without milliseconds, as tolerance limits
// were kept before, or with a blank for the "T" and no zone, as the archive keeps its other times,
// which are UTC too. Invalid for any other text.
QDateTime ChangeTimeOf(const QString& text);

}  // namespace qm4250
