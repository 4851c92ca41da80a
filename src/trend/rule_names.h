#pragma once

#include <QString>

#include "analysis/run_rules.h"

namespace qm4250 {

// A rule as a list names it ("WE 1", "Nelson 7") and what it looks for, in the words of the
// usual SPC texts.
QString RuleName(RunRule rule);
QString RuleDescription(RunRule rule);

}  // namespace qm4250
