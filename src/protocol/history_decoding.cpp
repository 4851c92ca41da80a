#include "protocol/history_decoding.h"

#include <array>
#include <cstdint>
#include <optional>

#include "protocol/decimal_text.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

constexpr int kTestRecordFields = 7;

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

DecodedFrame DecodeIdentification(const Fields& fields, std::string_view frameText) {
    if (fields.count == 0)
        return Unreadable{std::string(frameText)};
    std::string_view field0 = fields.field[0];
    std::string_view code = field0.substr(0, 1);
    return Identification{std::string(field0.substr(code.size())), std::string(code),
                          ModelNameOf(std::string(code))};
}

DecodedFrame DecodeTestRecord(const Fields& f, std::string_view frameText) {
    if (f.count < kTestRecordFields)
        return Unreadable{std::string(frameText)};
    std::optional<int64_t> seconds = DecimalToInteger(f.field[5], INT32_MIN, INT32_MAX);
    std::optional<int64_t> relays = DecimalToInteger(f.field[6], INT16_MIN, INT16_MAX);
    if (!seconds || !relays)
        return Unreadable{std::string(frameText)};
    TimeDateText timeDate = TimeDateOf(static_cast<int32_t>(*seconds));
    return TestRecord({f.field[0], f.field[1], f.field[2], f.field[3], f.field[4],
                       static_cast<int32_t>(*seconds), timeDate.view(), f.field[6],
                       static_cast<int16_t>(*relays)});
}

}  // namespace

DecodedFrame DecodeHistoryFrame(std::string_view frameText, HistoryFrameKind kind) {
    std::string_view body = frameText.empty() ? frameText : frameText.substr(1);
    Fields fields = SplitFields(body);
    return kind == HistoryFrameKind::Identification ? DecodeIdentification(fields, frameText)
                                                    : DecodeTestRecord(fields, frameText);
}

}  // namespace qm4250
