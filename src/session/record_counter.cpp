#include "session/record_counter.h"

#include <algorithm>
#include <optional>

#include "protocol/decimal_text.h"
#include "session/window_state.h"

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

int32_t StoredTestRecords(const WindowState& state) {
    // Row 0 is the identification; a decoded test record never leaves its row empty.
    int32_t rows = static_cast<int32_t>(state.Records.size());
    int32_t stored = 0;
    for (int32_t k = 1; k <= state.RecordIndex && k < rows; ++k)
        stored += state.Records[k].empty() ? 0 : 1;
    return stored;
}
