#pragma once

// Uploaded histories in the tests' terms: frames in, rows of text out.

#include <string>
#include <variant>
#include <vector>

#include "protocol/history_decoding.h"

namespace qm4250 {

// "SN = serial;Model: name", as the list and the sheet show an identification.
inline std::string RowText(const Identification& identification) {
    return "SN = " + identification.serial + ";Model: " + identification.modelName;
}

// A test record's shown fields joined by ";": Seq#, PN, Cust Code, Leak, error text, time/date
// text and the relay field as received.
inline std::string RowText(const TestRecord& r) {
    std::string row;
    for (std::string_view text : {r.seq(), r.pn(), r.custCode(), r.leak()})
        row.append(text).append(";");
    row.append(ErrorText(r)).append(";").append(r.timeDate()).append(";").append(r.relayField());
    return row;
}

inline std::vector<std::string> TestRows(const History& history) {
    std::vector<std::string> rows;
    for (const TestRecord& record : history.records)
        rows.push_back(RowText(record));
    return rows;
}

// A test record as decoded, with any bytes in its fields (the time/date text included).
inline TestRecord MakeRecord(std::string_view seq, std::string_view pn, std::string_view custCode,
                             std::string_view leak, std::string_view errorCode,
                             std::string_view timeDate, int16_t relays) {
    std::string relayField = std::to_string(relays);
    return TestRecord({seq, pn, custCode, leak, errorCode, 0, timeDate, relayField, relays});
}

// The history an upload of these frame texts ("1S42", "11,PN,...") leaves: the first is the
// identification, the others test records; those that cannot be decoded are counted.
inline History HistoryOf(const std::vector<std::string>& frames) {
    History history;
    for (size_t k = 0; k < frames.size(); ++k) {
        DecodedFrame frame = DecodeHistoryFrame(
            frames[k], k == 0 ? HistoryFrameKind::Identification : HistoryFrameKind::TestRecord);
        if (auto* identification = std::get_if<Identification>(&frame))
            history.identification = *identification;
        else if (auto* record = std::get_if<TestRecord>(&frame))
            history.records.push_back(*record);
        else
            history.unreadable.push_back(frames[k]);
    }
    return history;
}

// The frame texts of an input that separates them by LF.
inline std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    for (;;) {
        size_t lf = text.find('\n');
        lines.emplace_back(text.substr(0, lf));
        if (lf == std::string_view::npos)
            return lines;
        text.remove_prefix(lf + 1);
    }
}

}  // namespace qm4250
