#include "export/cell_table.h"

#include <string_view>

#include "formats/utf8.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

SheetRow HeaderRow(const std::optional<Identification>& identification) {
    bool pellmar = identification && IsPellmar(*identification);
    return {"SEQ#",
            "PN",
            "Cust Code",
            "Leak",
            "Error",
            "Time/Date",
            "GPRelay",
            pellmar ? "-Reject" : "BPRelay",
            pellmar ? "+Reject" : "GERelay"};
}

SheetRow IdentificationRow(const Identification& identification) {
    SheetRow row;
    row[0] = Latin1ToUtf8("SN = " + identification.serial);
    row[1] = Latin1ToUtf8("Model: " + identification.modelName);
    return row;
}

// Before 2004 the instrument's clock does not run: its two-digit year would read back as a year
// after 2004, so such a time stamp is written with its full year.
std::string TimeDateCell(const TestRecord& record) {
    return std::string(record.seconds() < 0 ? FullDateTimeOf(record.seconds()).view()
                                            : record.timeDate());
}

SheetRow TestRow(const TestRecord& record) {
    return {Latin1ToUtf8(record.seq()),      Latin1ToUtf8(record.pn()),
            Latin1ToUtf8(record.custCode()), Latin1ToUtf8(record.leak()),
            Latin1ToUtf8(ErrorText(record)), TimeDateCell(record),
            OnOffText(RelayOn(record, 2)),   OnOffText(RelayOn(record, 3)),
            OnOffText(RelayOn(record, 4))};
}

void AppendHistoryRows(const History& history, CellTable& table) {
    if (history.identification)
        table.push_back(IdentificationRow(*history.identification));
    for (const TestRecord& record : history.records) {
        table.push_back(TestRow(record));
        if (PowerUp(record))
            table.push_back(SheetRow{std::string(kPowerUpMarker)});
    }
}

// Room for a marker after one record in eight saves most regrowth of a long history.
size_t RowsToReserve(const History& history) {
    return 1 + history.records.size() * 9 / 8;
}

}  // namespace

CellTable BuildCellTable(const History& history) {
    CellTable table{HeaderRow(history.identification)};
    table.reserve(1 + RowsToReserve(history));
    AppendHistoryRows(history, table);
    return table;
}

CellTable BuildInstrumentsTable(const std::vector<History>& histories) {
    CellTable table{HeaderRow(std::nullopt)};
    size_t rows = 1;
    for (const History& history : histories)
        rows += RowsToReserve(history);
    table.reserve(rows);
    for (const History& history : histories)
        AppendHistoryRows(history, table);
    return table;
}

}  // namespace qm4250
