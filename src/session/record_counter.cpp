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

}  // namespace qm4250
