#include "session/history_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/field_format.h"
#include "session/view.h"
#include "session/window_state.h"

namespace {

constexpr int kTestRecordFields = 7;
constexpr int32_t kRecordsGrowth = 100;

constexpr std::string_view kThreeRelayCaption = "GP   BP   GE  ";
constexpr std::string_view kPellmarCaption = "GP  -Rej +Rej";
constexpr std::string_view kPowerUpLine = "QM4250 Power UP";

// The first fields of a body split at every ",": no limit, no trimming; an empty body has none.
struct Fields {
    std::array<std::string_view, kTestRecordFields> field;
    int count = 0;
};

Fields SplitFields(std::string_view body) {
    Fields fields;
    if (body.empty())
        return fields;
    for (;;) {
        std::size_t comma = body.find(',');
        if (fields.count < kTestRecordFields)
            fields.field[fields.count] = body.substr(0, comma);
        ++fields.count;
        if (comma == std::string_view::npos || fields.count > kTestRecordFields)
            return fields;
        body.remove_prefix(comma + 1);
    }
}

std::string_view ModelName(std::string_view code) {
    if (code == "S")
        return "Norvik";
    if (code == "Q")
        return "Pellmar";
    if (code == "H")
        return "Dravon Flow";
    return code;
}

void StoreRow(WindowState& state, std::string row) {
    // Before the first REQUEST there is nowhere to store a row; the line is shown all the same.
    if (state.RecordIndex < 0 || state.RecordIndex >= static_cast<int32_t>(state.Records.size()))
        return;
    state.Records[state.RecordIndex] = std::move(row);
}

// Both decoders return false for a frame they cannot decode.
bool ParseIdentificationRecord(const Fields& fields, WindowState& state, View& view) {
    if (fields.count == 0)
        return false;
    std::string_view field0 = fields.field[0];
    std::string_view modelName = ModelName(field0.substr(0, 1));
    std::string_view serialNumber = field0.empty() ? field0 : field0.substr(1);

    std::string line = "SN = ";
    line.append(serialNumber).append("  Model: ").append(modelName);
    view.addListLine(line);

    std::string row = "SN = ";
    row.append(serialNumber).append(";Model: ").append(modelName);
    StoreRow(state, std::move(row));

    view.setRelayCaption(modelName == "Pellmar" ? kPellmarCaption : kThreeRelayCaption);
    return true;
}

std::string ListLine(const Fields& f, std::string_view errorText, std::string_view timeDate,
                     const RelayBits& relays) {
    std::string line;
    line.reserve(80);
    line += PadRight(f.field[0], 6);
    line += PadRight(f.field[1], 4);
    line += PadRight(f.field[2], 10);
    line += Pad(f.field[3], 8);
    line += Pad(errorText, 4);
    line += Pad(timeDate, 20);
    line += "   ";
    line += PadRight(relays.bit[2], 5);
    line += PadRight(relays.bit[3], 5);
    line += PadRight(relays.bit[4], 3);
    return line;
}

std::string Row(const Fields& f, std::string_view errorText, std::string_view timeDate) {
    std::string row;
    row.reserve(64);
    for (int i = 0; i < 4; ++i)
        row.append(f.field[i]).push_back(';');
    row.append(errorText).push_back(';');
    row.append(timeDate).push_back(';');
    row.append(f.field[6]);
    return row;
}

void GrowRecordsWhenFull(WindowState& state) {
    // Before the first REQUEST there is nothing to grow.
    if (state.Records.empty() || state.RecordIndex < state.RecordsBound)
        return;
    // Past the bound, not only at it: a record that failed to decode at the bound moved the
    // index on without growing, and every later record must still find its row.
    while (state.RecordsBound <= state.RecordIndex)
        state.RecordsBound += kRecordsGrowth;
    state.Records.resize(static_cast<std::size_t>(state.RecordsBound) + 1);
}

bool ParseTestRecord(const Fields& fields, WindowState& state, View& view) {
    if (fields.count < kTestRecordFields)
        return false;
    std::optional<std::string> timeDate = FormatTimeDate(fields.field[5]);
    if (!timeDate)
        return false;
    std::string errorText;
    if (fields.field[4] != "N")
        errorText.append("*").append(fields.field[4]);
    std::optional<RelayBits> relays = RelayText(fields.field[6]);
    if (!relays)
        return false;

    view.addListLine(ListLine(fields, errorText, *timeDate, *relays));
    if (relays->powerUp)
        view.addListLine(kPowerUpLine);
    GrowRecordsWhenFull(state);
    StoreRow(state, Row(fields, errorText, *timeDate));
    return true;
}

}  // namespace

void ParseHistoryRecord(std::string_view frameText, WindowState& state, View& view) {
    // The counter is 32-bit; at its end further frames are answered but no longer decoded.
    if (state.RecordIndex == INT32_MAX)
        return;
    std::string_view body = frameText.empty() ? frameText : frameText.substr(1);
    ++state.RecordIndex;
    Fields fields = SplitFields(body);
    bool decoded = state.RecordIndex == 0 ? ParseIdentificationRecord(fields, state, view)
                                          : ParseTestRecord(fields, state, view);
    if (!decoded)
        ++state.UnreadableRecords;
}
