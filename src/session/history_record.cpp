#include "session/history_record.h"

#include <cstdint>
#include <string>

#include "protocol/field_format.h"
#include "protocol/history_decoding.h"
#include "session/view.h"
#include "session/window_state.h"

namespace {

constexpr std::string_view kThreeRelayCaption = "GP   BP   GE  ";
constexpr std::string_view kPellmarCaption = "GP  -Rej +Rej";
constexpr std::string_view kPowerUpLine = "QM4250 Power UP";

const char* OnOff(const TestRecord& record, int bit) {
    return RelayOn(record, bit) ? "On" : "Off";
}

std::string IdentificationLine(const Identification& identification) {
    std::string line = "SN = ";
    line.append(identification.serial).append("  Model: ").append(identification.modelName);
    return line;
}

std::string ListLine(const TestRecord& record) {
    std::string line;
    line.reserve(80);
    line += PadRight(record.seq, 6);
    line += PadRight(record.pn, 4);
    line += PadRight(record.custCode, 10);
    line += Pad(record.leak, 8);
    line += Pad(ErrorText(record), 4);
    line += Pad(record.timeDate, 20);
    line += "   ";
    line += PadRight(OnOff(record, 2), 5);
    line += PadRight(OnOff(record, 3), 5);
    line += PadRight(OnOff(record, 4), 3);
    return line;
}

void Show(const Identification& identification, View& view) {
    view.addListLine(IdentificationLine(identification));
    view.setRelayCaption(IsPellmar(identification) ? kPellmarCaption : kThreeRelayCaption);
}

void Show(const TestRecord& record, View& view) {
    view.addListLine(ListLine(record));
    if (PowerUp(record))
        view.addListLine(kPowerUpLine);
}

// Before the first REQUEST there is no history to keep a record in; it is shown all the same.
struct Keep {
    std::optional<History>& history;
    View& view;

    void operator()(Identification&& identification) {
        Show(identification, view);
        if (history)
            history->identification = std::move(identification);
    }
    void operator()(TestRecord&& record) {
        Show(record, view);
        if (history)
            history->records.push_back(std::move(record));
    }
    void operator()(Unreadable) {
        if (history)
            ++history->unreadable;
    }
};

}  // namespace

void ParseHistoryRecord(std::string_view frameText, WindowState& state, View& view) {
    // The counter is 32-bit; at its end further frames are answered but no longer decoded.
    if (state.RecordIndex == INT32_MAX)
        return;
    ++state.RecordIndex;
    HistoryFrameKind kind =
        state.RecordIndex == 0 ? HistoryFrameKind::Identification : HistoryFrameKind::TestRecord;
    std::visit(Keep{state.history, view}, DecodeHistoryFrame(frameText, kind));
}
