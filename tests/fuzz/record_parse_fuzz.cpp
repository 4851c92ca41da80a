// Frame bodies of any content, decoded one after another as one upload: history frames and mode
// replies, as the receive handler hands them over. The input is the bodies separated by ETX,
// which a body can never contain; its first byte picks where the upload starts.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "export/cell_table.h"
#include "export/utf8.h"
#include "fakes.h"
#include "fuzz_target.h"
#include "protocol/frame.h"
#include "session/history_record.h"
#include "session/operating_mode.h"
#include "session/window_state.h"

namespace {

// Where an upload may stand when a frame arrives: before any REQUEST (no history to keep a record
// in), just after one, or near the end of the 32-bit counter.
WindowState StartingState(uint8_t choice) {
    WindowState state;
    if (choice % 3 == 2)
        state.RecordIndex = INT32_MAX - 2;
    if (choice % 3 != 1)
        return state;
    state.history.emplace();
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
    const size_t keptBefore = state.history ? state.history->records.size() : 0;
    const int32_t unreadableBefore = state.history ? state.history->unreadable : 0;
    ParseHistoryRecord(body, state, view);

    FUZZ_CHECK(state.RecordIndex == (indexBefore == INT32_MAX ? indexBefore : indexBefore + 1));
    const bool testRecord = state.RecordIndex > 0 && state.RecordIndex != indexBefore;
    if (!testRecord || !state.history)
        return;
    const History& history = *state.history;
    // A record that could not be decoded shows nothing, is counted and is not kept.
    if (view.list.size() == linesBefore) {
        FUZZ_CHECK(history.unreadable == unreadableBefore + 1);
        FUZZ_CHECK(history.records.size() == keptBefore);
        return;
    }
    // A decoded test record is one fixed-width line, and maybe the power-up line after it, and
    // it is always kept, its fields whole, each in its own cell of the sheet.
    FUZZ_CHECK(view.list.size() - linesBefore <= 2);
    FUZZ_CHECK(view.list[linesBefore].size() >= 68);
    FUZZ_CHECK(history.records.size() == keptBefore + 1);
    const TestRecord& record = history.records.back();
    CellTable table = BuildCellTable(History{std::nullopt, {record}, 0});
    FUZZ_CHECK(table.size() >= 2);
    FUZZ_CHECK(table[1][1] == Latin1ToUtf8(record.pn));
    FUZZ_CHECK(table[1][3] == Latin1ToUtf8(record.leak));
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
