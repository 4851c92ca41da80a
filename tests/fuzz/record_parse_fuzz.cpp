// Frame bodies of any content, decoded one after another as one upload: history frames and mode
// replies, as the receive handler hands them over. The input is the bodies separated by ETX,
// which a body can never contain; its first byte picks where the upload starts.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "export/cell_table.h"
#include "fakes.h"
#include "fuzz_target.h"
#include "protocol/frame.h"
#include "session/history_record.h"
#include "session/operating_mode.h"
#include "session/window_state.h"

namespace {

// Where an upload may stand when a frame arrives: before any REQUEST (nowhere to store a row),
// just after one, or near the end of the 32-bit counter (without rows: they would not fit in
// memory).
WindowState StartingState(uint8_t choice) {
    WindowState state;
    if (choice % 3 == 2)
        state.RecordIndex = INT32_MAX - 2;
    if (choice % 3 != 1)
        return state;
    state.Records.assign(101, std::string());
    state.RecordsBound = 100;
    state.RecordIndex = -1;
    return state;
}

void DecodeModeReply(std::string_view body, FakeView& view) {
    const std::string modeBefore = view.currentMode;
    ParseModeReply(body, view);
    for (std::string_view mode : {"SETUP", "CALIBRATE", "RUN", "DATA"}) {
        if (view.currentMode == mode)
            return;
    }
    FUZZ_CHECK(view.currentMode == modeBefore);
}

void DecodeHistoryFrame(std::string_view body, WindowState& state, FakeView& view) {
    const int32_t indexBefore = state.RecordIndex;
    const size_t linesBefore = view.list.size();
    ParseHistoryRecord(body, state, view);

    FUZZ_CHECK(state.RecordIndex == (indexBefore == INT32_MAX ? indexBefore : indexBefore + 1));
    if (!state.Records.empty())
        FUZZ_CHECK(state.Records.size() == static_cast<size_t>(state.RecordsBound) + 1);
    const bool testRecord = state.RecordIndex > 0 && state.RecordIndex != indexBefore;
    const bool stored = state.RecordIndex < static_cast<int32_t>(state.Records.size());
    if (!testRecord)
        return;
    // A record that could not be decoded shows nothing and leaves its row empty.
    if (view.list.size() == linesBefore) {
        FUZZ_CHECK(!stored || state.Records[state.RecordIndex].empty());
        return;
    }
    // A decoded test record is one fixed-width line, and maybe the power-up line after it, and
    // once REQUEST has made room for rows it is always stored.
    FUZZ_CHECK(view.list.size() - linesBefore <= 2);
    FUZZ_CHECK(view.list[linesBefore].size() >= 68);
    FUZZ_CHECK(stored || state.Records.empty());
    if (!stored)
        return;
    // The row it stored must be saveable, unless a field carries the row's own separator.
    const std::string& row = state.Records[state.RecordIndex];
    FUZZ_CHECK(!row.empty());
    if (body.find(';') != std::string_view::npos)
        return;
    std::vector<std::string> oneRecord{"SN = 1;Model: Norvik", row};
    FUZZ_CHECK(BuildCellTable(oneRecord, 1).has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input(data, size);
    WindowState state = StartingState(input.byte());
    FakeView view;
    std::string_view bodies = input.rest();
    for (;;) {
        size_t etx = bodies.find(ETX);
        std::string_view body = bodies.substr(0, etx);
        if (!body.empty() && body.front() == '8')
            DecodeModeReply(body, view);
        else
            DecodeHistoryFrame(body, state, view);
        if (etx == std::string_view::npos)
            break;
        bodies.remove_prefix(etx + 1);
    }
    return 0;
}
