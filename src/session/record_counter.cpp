#include "session/record_counter.h"

#include <optional>

#include "protocol/decimal_text.h"

namespace qm4250 {

std::string RecordCounterText(int32_t testRecords, int32_t unreadable,
                              std::string_view requestedCount) {
    std::string text = "Records: " + std::to_string(testRecords);
    // Only a count the upload can stop at is one the operator asked for.
    std::optional<DecimalValue> count = ParseDecimal(requestedCount);
    if (count && count->whole && count->rounded >= 0)
        text += " of " + std::to_string(count->rounded);
    if (unreadable > 0)
        text += " (" + std::to_string(unreadable) + " unreadable)";
    return text;
}

namespace {

void Say(std::string& text, size_t count, const char* what) {
    if (count == 0)
        return;
    text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + what;
}

}  // namespace

std::string VerdictText(const std::vector<PartVerdict>& verdicts) {
    std::string text;
    for (const PartVerdict& verdict : verdicts) {
        std::string part;
        Say(part, verdict.beyondUcl, "beyond UCL");
        Say(part, verdict.beyondLcl, "beyond LCL");
        Say(part, verdict.beyondUsl, "beyond USL");
        Say(part, verdict.beyondLsl, "beyond LSL");
        for (const auto& [rule, count] : verdict.rulesBroken)
            Say(part, count, (std::string("breaking ") + RunRuleName(rule)).c_str());
        if (part.empty())
            continue;
        text += (text.empty() ? "" : "; ") + verdict.pn + ": " + part;
    }
    return text;
}

}  // namespace qm4250
