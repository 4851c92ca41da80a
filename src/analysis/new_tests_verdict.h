#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/capability.h"
#include "analysis/control_chart.h"
#include "analysis/process_series.h"
#include "analysis/run_rules.h"

namespace qm4250 {

// What an upload's new tests of one PN tell the operator: how many of the parts the instrument
// passed lie beyond the PN's control limits or its tolerance, and the other rules they break.
// A reject is left out: the instrument has said so already.
struct PartVerdict {
    std::string pn;
    size_t beyondUcl = 0;
    size_t beyondLcl = 0;
    size_t beyondUsl = 0;
    size_t beyondLsl = 0;
    // Each rule broken besides the one point beyond 3 sigma (the limits' counts say that), with
    // the number of new tests breaking it, in the order the rules were given.
    std::vector<std::pair<RunRule, size_t>> rulesBroken;

    bool anything() const {
        return beyondUcl + beyondLcl + beyondUsl + beyondLsl > 0 || !rulesBroken.empty();
    }
};

// The tests of a PN in time order, as its chart judges them (kept as the process's), and which
// of them are new. The limits are the frozen ones where given, else the kept tests' own; "OVER"
// lies beyond an upper limit and "UNDER" beyond a lower one.
PartVerdict JudgeNewTests(std::string pn, const std::vector<TestReading>& tests,
                          const std::vector<bool>& isNew,
                          const std::optional<ControlLimits>& frozen,
                          const ToleranceLimits& tolerance, const std::vector<RunRule>& rules);

}  // namespace qm4250
