#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace qm4250 {

// Asks why the test `testName` names is left out of the limits, or taken back into them; the
// reason given, trimmed, or none when cancelled or left blank.
std::optional<QString> AskExclusionReason(QWidget* parent, bool takeBack, const QString& testName);

}  // namespace qm4250
