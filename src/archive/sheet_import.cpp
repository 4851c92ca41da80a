#include "archive/sheet_import.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <array>
#include <optional>

#include "protocol/field_format.h"

namespace qm4250 {

namespace {

constexpr std::string_view kPowerUpMarker = "QM 4250 Power UP";
constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Cells hold UTF-8 text of received single bytes.
std::string Bytes(const std::string& utf8) {
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
    std::string serial = Bytes(row[0]);
    std::string model = Bytes(row[1]);
    if (serial.rfind("SN = ", 0) != 0 || model.rfind("Model: ", 0) != 0 || !BlankFrom(row, 2))
        return std::nullopt;
    std::string name = model.substr(7);
    return Identification{serial.substr(5), ModelCodeOf(name), name};
}

// A cell's text as a reason quotes it: a cell may hold up to 1 MiB.
std::string Shown(const std::string& text) {
    constexpr size_t kShown = 40;
    return text.size() <= kShown ? text : text.substr(0, kShown) + "...";
}

// "Mar 04/21 10:11:12" back to seconds since 2004-01-01, when it is exactly what the instrument's
// clock would show for them.
std::optional<int32_t> SecondsOf(const std::string& text) {
    static const QDateTime kEpoch(QDate(2004, 1, 1), QTime(0, 0), Qt::UTC);
    if (text.size() != 18)
        return std::nullopt;
    int month = 0;
    while (month < 12 && text.compare(0, 3, kMonths[month]) != 0)
        ++month;
    int day, year, hour, minute, second;
    if (month == 12 || std::sscanf(text.c_str() + 3, " %2d/%2d %2d:%2d:%2d", &day, &year, &hour,
                                   &minute, &second) != 5)
        return std::nullopt;
    QDateTime when(QDate(year < 4 ? 2100 + year : 2000 + year, month + 1, day),
                   QTime(hour, minute, second), Qt::UTC);
    if (!when.isValid())
        return std::nullopt;
    qint64 seconds = kEpoch.secsTo(when);
    if (seconds < INT32_MIN || seconds > INT32_MAX)
        return std::nullopt;
    if (TimeDateOf(static_cast<int32_t>(seconds)).view() != text)
        return std::nullopt;
    return static_cast<int32_t>(seconds);
}

std::optional<bool> OnOff(const std::string& cell) {
    if (cell == "On")
        return true;
    if (cell == "Off")
        return false;
    return std::nullopt;
}

// The record a row holds, or why it holds none.
std::variant<TestRecord, std::string> RecordFrom(const SheetRow& row) {
    std::string timeDate = Bytes(row[5]);
    std::optional<int32_t> seconds = SecondsOf(timeDate);
    if (!seconds)
        return std::string("the time/date \"" + Shown(timeDate) +
                           "\" is not one the instrument writes");
    int16_t relays = 0;
    for (int bit = 2; bit <= 4; ++bit) {
        std::optional<bool> on = OnOff(row[bit + 4]);
        if (!on)
            return std::string("a relay cell is neither On nor Off");
        relays = static_cast<int16_t>(relays | (*on ? 1 << bit : 0));
    }
    std::string error = Bytes(row[4]);
    if (!error.empty() && error[0] != '*')
        return std::string("the error cell is neither empty nor *code");
    std::string errorCode = error.empty() ? "N" : error.substr(1);
    std::string relayField = std::to_string(relays);
    return TestRecord({Bytes(row[0]), Bytes(row[1]), Bytes(row[2]), Bytes(row[3]), errorCode,
                       *seconds, timeDate, relayField, relays});
}

// The power-up marker sets bit 0 of the record above it.
TestRecord WithPowerUp(const TestRecord& r) {
    int16_t relays = static_cast<int16_t>(r.relays() | 1);
    std::string relayField = std::to_string(relays);
    return TestRecord({r.seq(), r.pn(), r.custCode(), r.leak(), r.errorCode(), r.seconds(),
                       r.timeDate(), relayField, relays});
}

}  // namespace

bool SheetImport::row(uint64_t number, const SheetRow& cells) {
    if (!headerRead_) {
        headerRead_ = true;
        isHistorySheet_ = number == 1 && cells[0] == "SEQ#";
        return isHistorySheet_;
    }
    if (cells == SheetRow{})
        return true;
    if (!instrumentKnown_) {
        instrumentKnown_ = true;
        // A selection exported from several instruments' tests has no identification row; its
        // second row is already a test.
        identification_ = IdentificationFrom(cells);
        if (identification_)
            return true;
    }
    if (cells[0] == kPowerUpMarker && BlankFrom(cells, 1)) {
        if (lastRowKept_)
            records_.back() = WithPowerUp(records_.back());
        return true;
    }
    std::variant<TestRecord, std::string> record = RecordFrom(cells);
    lastRowKept_ = std::holds_alternative<TestRecord>(record);
    if (!lastRowKept_) {
        skip(number, std::get<std::string>(record));
        return true;
    }
    records_.push_back(std::move(std::get<TestRecord>(record)));
    ++testsRead_;
    return true;
}

bool SheetImport::rowTooLong(uint64_t number) {
    if (!headerRead_)
        return row(number, SheetRow{});
    lastRowKept_ = false;
    skip(number, "longer than 1 MiB");
    return true;
}

std::vector<TestRecord> SheetImport::takeRecords(bool all) {
    std::vector<TestRecord> taken;
    if (records_.empty())
        return taken;
    auto end = all || !lastRowKept_ ? records_.end() : records_.end() - 1;
    taken.assign(std::make_move_iterator(records_.begin()), std::make_move_iterator(end));
    records_.erase(records_.begin(), end);
    return taken;
}

void SheetImport::skip(uint64_t number, const std::string& why) {
    ++rowsSkipped_;
    if (skipReasons_.size() < kReasonsKept)
        skipReasons_.push_back("row " + std::to_string(number) + ": " + why);
}

}  // namespace qm4250
