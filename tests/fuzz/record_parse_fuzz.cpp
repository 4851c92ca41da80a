// Frame bodies of any content, decoded one after another as one upload: history frames and mode
// replies, as the receive handler hands them over. The input is the bodies separated by ETX,
// which a body can never contain.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "export/cell_table.h"
#include "formats/utf8.h"
#include "fuzz_target.h"
#include "protocol/frame.h"
#include "protocol/history_decoding.h"
#include "protocol/operating_mode.h"
#include "window/list_lines.h"

using namespace qm4250;

namespace {

void CheckModeReply(std::string_view body) {
    ModeReply reply = DecodeModeReply(body);
    FUZZ_CHECK(reply.mode.has_value() == (body.size() >= 2 && body[1] >= '0' && body[1] <= '3'));
    FUZZ_CHECK(reply.testInProgress == (body.size() >= 3 && body[2] == '1'));
}

// A decoded test record keeps its fields whole: joined again they are the body as received, and
// each has a cell of its own in the sheet.
void CheckTestRecord(std::string_view body, const TestRecord& record) {
    std::string fields;
    for (std::string_view text :
         {record.seq(), record.pn(), record.custCode(), record.leak(), record.errorCode()})
        fields.append(text).append(",");
    FUZZ_CHECK(body.substr(1, fields.size()) == fields);
    std::string_view rest = body.substr(1 + fields.size());
    size_t relayAt = rest.find(',') + 1;
    FUZZ_CHECK(rest.substr(relayAt, record.relayField().size()) == record.relayField());
    FUZZ_CHECK(ListLine(record).size() >= 68);
    CellTable table = BuildCellTable(History{std::nullopt, {record}, {}});
    FUZZ_CHECK(table.size() >= 2);
    FUZZ_CHECK(table[1][1] == Latin1ToUtf8(record.pn()));
    FUZZ_CHECK(table[1][3] == Latin1ToUtf8(record.leak()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input(data, size);
    std::string_view bodies = input.rest();
    for (bool first = true;; first = false) {
        size_t etx = bodies.find(ETX);
        std::string_view body = bodies.substr(0, etx);
        if (!body.empty() && body.front() == '8') {
            CheckModeReply(body);
        } else {
            HistoryFrameKind kind =
                first ? HistoryFrameKind::Identification : HistoryFrameKind::TestRecord;
            DecodedFrame frame = DecodeHistoryFrame(body, kind);
            if (const auto* record = std::get_if<TestRecord>(&frame))
                CheckTestRecord(body, *record);
            else if (const auto* identification = std::get_if<Identification>(&frame))
                FUZZ_CHECK(IdentificationLine(*identification).rfind("SN = ", 0) == 0);
            FUZZ_CHECK(std::holds_alternative<Unreadable>(frame) ||
                       (kind == HistoryFrameKind::Identification) ==
                           std::holds_alternative<Identification>(frame));
        }
        if (etx == std::string_view::npos)
            break;
        bodies.remove_prefix(etx + 1);
    }
    return 0;
}
