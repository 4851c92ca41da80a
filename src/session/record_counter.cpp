#include "session/record_counter.h"

#include <algorithm>
#include <optional>

#include "protocol/decimal_text.h"

std::string RecordCounterText(int32_t recordIndex, int32_t unreadable,
                              std::string_view requestedCount) {
    // Before the identification record RecordIndex is -1: nothing received yet.
    std::string text = "Records: " + std::to_string(std::max<int32_t>(recordIndex, 0));
    // Only a count the upload can stop at is one the operator asked for.
    std::optional<DecimalValue> count = ParseDecimal(requestedCount);
    if (count && count->whole && count->rounded >= 0)
        text += " of " + std::to_string(count->rounded);
    if (unreadable > 0)
        text += " (" + std::to_string(unreadable) + " unreadable)";
    return text;
}
