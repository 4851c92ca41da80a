#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <variant>

#include "analysis/capability.h"
#include "trend/baseline_limits.h"
#include "trend/selection_judging.h"

namespace qm4250 {

// The dialogs the archive window asks a PN's limits with; each refuses what is not a number or a
// date, marked red, and gives none when cancelled.

// The tolerance: the upper limit, the reject set point, must be given first; the lower and the
// unit may be empty. `now` fills the fields.
std::optional<PartTolerance> AskTolerance(QWidget* parent, const QString& pn,
                                          const PartTolerance& now);

// The baseline to freeze the PN's limits from (its first N tests, or a date range starting as
// `from` to `to`), or Thaw, offered only where the PN has frozen limits.
struct Thaw {};
std::optional<std::variant<LimitsBaseline, Thaw>> AskFreeze(QWidget* parent, const QString& pn,
                                                            bool frozen, const QString& from,
                                                            const QString& to);

}  // namespace qm4250
