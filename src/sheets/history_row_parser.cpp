#include "sheets/history_row_parser.h"

#include <QString>
#include <algorithm>

#include "formats/utf8.h"
#include "formats/worksheet_cell.h"
#include "protocol/field_format.h"
#include "sheets/time_date_cell.h"

namespace qm4250 {

namespace {

// Enough of a cell to show; a cell may hold up to 1 MiB.
constexpr size_t kCellKept = 200;

// Cells hold UTF-8 text of received single bytes; nearly always ASCII, which is both.
std::string Bytes(const std::string& utf8) {
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return utf8;
    return QString::fromStdString(utf8).toLatin1().toStdString();
}

// Whether the row's cells from `first` on are all blank. The identification row and the power-up
// marker row leave them so; a test's row never does (its time/date and relay cells are written),
// so a test whose Seq# reads like one of them stays a test.
bool BlankFrom(const SheetRow& row, size_t first) {
    return std::all_of(row.begin() + static_cast<std::ptrdiff_t>(first), row.end(),
                       [](const std::string& cell) { return cell.empty(); });
}

std::optional<Identification> IdentificationFrom(const SheetRow& row) {
    if (row[0].rfind("SN = ", 0) != 0 || row[1].rfind("Model: ", 0) != 0 || !BlankFrom(row, 2))
        return std::nullopt;
    std::string name = Bytes(row[1].substr(7));
    return Identification{Bytes(row[0].substr(5)), ModelCodeOf(name), name};
}

bool IsPowerUpMarker(const SheetRow& row) {
    return row[0] == kPowerUpMarker && BlankFrom(row, 1);
}

std::optional<bool> OnOff(const std::string& cell) {
    if (cell == "On")
        return true;
    if (cell == "Off")
        return false;
    return std::nullopt;
}

struct Skip {
    SkipReason reason;
    size_t column;
};

// The record a row holds, or why it holds none.
std::variant<TestRecord, Skip> RecordFrom(const SheetRow& row) {
    constexpr size_t kTimeDate = 5, kError = 4, kFirstRelay = 6;
    // Such a test could be archived but never exported to a workbook again.
    for (size_t column = 0; column < row.size(); ++column) {
        if (Utf16Length(row[column]) > kMaxCellCharacters)
            return Skip{SkipReason::CellTooLong, column};
    }
    std::variant<int32_t, SkipReason> seconds = SecondsOfTimeDate(row[kTimeDate]);
    if (auto* reason = std::get_if<SkipReason>(&seconds))
        return Skip{*reason, kTimeDate};
    int16_t relays = 0;
    for (int bit = 2; bit <= 4; ++bit) {
        size_t column = kFirstRelay + static_cast<size_t>(bit - 2);
        std::optional<bool> on = OnOff(row[column]);
        if (!on)
            return Skip{SkipReason::RelayNotOnOff, column};
        relays = static_cast<int16_t>(relays | (*on ? 1 << bit : 0));
    }
    std::string error = Bytes(row[kError]);
    if (!error.empty() && error[0] != '*')
        return Skip{SkipReason::ErrorNotCode, kError};
    std::string errorCode = error.empty() ? "N" : error.substr(1);
    int32_t raw = std::get<int32_t>(seconds);
    return TestRecord({Bytes(row[0]), Bytes(row[1]), Bytes(row[2]), Bytes(row[3]), errorCode, raw,
                       TimeDateOf(raw).view(), std::to_string(relays), relays});
}

// The power-up marker sets bit 0 of the record above it.
TestRecord WithPowerUp(const TestRecord& r) {
    int16_t relays = static_cast<int16_t>(r.relays() | 1);
    return TestRecord({r.seq(), r.pn(), r.custCode(), r.leak(), r.errorCode(), r.seconds(),
                       r.timeDate(), std::to_string(relays), relays});
}

}  // namespace

bool HistoryRowParser::sheet(std::string_view name) {
    sheet_ = name;
    headerExpected_ = true;
    inHistorySheet_ = false;
    return handOnPending();
}

bool HistoryRowParser::row(uint64_t number, const SheetRow& cells) {
    if (headerExpected_)
        return header(number, cells);
    if (!inHistorySheet_ || cells == SheetRow{})
        return true;
    return content(number, cells);
}

bool HistoryRowParser::header(uint64_t number, const SheetRow& cells) {
    headerExpected_ = false;
    inHistorySheet_ = number == 1 && cells[0] == "SEQ#";
    if (inHistorySheet_) {
        ++historySheets_;
        instrumentKnown_ = false;
        return true;
    }
    sheetsPassedOver_.push_back(sheet_);
    // A .csv is its one sheet: nothing of it is read when it is not a history sheet.
    return !sheet_.empty();
}

bool HistoryRowParser::content(uint64_t number, const SheetRow& cells) {
    if (IsPowerUpMarker(cells)) {
        if (pending_)
            pending_ = WithPowerUp(*pending_);
        return handOnPending();
    }
    if (!handOnPending())
        return false;
    if (std::optional<Identification> identification = IdentificationFrom(cells)) {
        instrumentKnown_ = true;
        return tests_.instrument(identification);
    }
    if (!instrumentKnown_) {
        instrumentKnown_ = true;
        if (!tests_.instrument(std::nullopt))
            return false;
    }
    std::variant<TestRecord, Skip> record = RecordFrom(cells);
    if (auto* skipped = std::get_if<Skip>(&record)) {
        skip(number, skipped->reason, cells[skipped->column], skipped->column);
        return true;
    }
    pending_ = std::move(std::get<TestRecord>(record));
    ++testsRead_;
    return true;
}

bool HistoryRowParser::rowTooLong(uint64_t number) {
    if (headerExpected_)
        return header(number, SheetRow{});
    if (!inHistorySheet_)
        return true;
    skip(number, SkipReason::TooLong, {}, 0);
    return handOnPending();
}

void HistoryRowParser::rowInWindows1252(uint64_t) {
    ++rowsInWindows1252_;
}

bool HistoryRowParser::finish() {
    return handOnPending();
}

bool HistoryRowParser::handOnPending() {
    if (!pending_)
        return true;
    TestRecord record = std::move(*pending_);
    pending_.reset();
    return tests_.test(std::move(record));
}

void HistoryRowParser::skip(uint64_t number, SkipReason reason, const std::string& cell,
                            size_t column) {
    ++rowsSkipped_;
    if (skippedRows_.size() < kSkippedRowsKept) {
        skippedRows_.push_back({sheet_, number, reason, cell.substr(0, kCellKept), column});
        return;
    }
    othersForTheSameReasons_ =
        othersForTheSameReasons_ &&
        std::any_of(skippedRows_.begin(), skippedRows_.end(),
                    [&](const SkippedRow& kept) { return kept.reason == reason; });
}

}  // namespace qm4250
