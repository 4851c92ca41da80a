#include "archive/sheet_import.h"

#include <QDateTime>
#include <QString>
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

std::optional<Identification> IdentificationFrom(const SheetRow& row) {
    std::string serial = Bytes(row[0]);
    std::string model = Bytes(row[1]);
    if (serial.rfind("SN = ", 0) != 0 || model.rfind("Model: ", 0) != 0)
        return std::nullopt;
    std::string name = model.substr(7);
    return Identification{serial.substr(5), ModelCodeOf(name), name};
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
        return std::string("the time/date \"" + timeDate + "\" is not one the instrument writes");
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

ImportedSheet HistoryFromSheet(const CellTable& sheet) {
    ImportedSheet imported;
    auto skip = [&](size_t index, const std::string& why) {
        imported.skipped.push_back("row " + std::to_string(index + 1) + ": " + why);
    };
    if (sheet.size() < 2 || sheet[0][0] != "SEQ#") {
        skip(0, "not a QM4250 history sheet (no SEQ# header)");
        return imported;
    }
    // A selection exported from several instruments' tests has no identification row; its
    // second row is already a test.
    imported.history.identification = IdentificationFrom(sheet[1]);
    bool lastRowKept = false;
    for (size_t index = imported.history.identification ? 2 : 1; index < sheet.size(); ++index) {
        const SheetRow& row = sheet[index];
        if (row[0] == kPowerUpMarker) {
            if (lastRowKept)
                imported.history.records.back() = WithPowerUp(imported.history.records.back());
            continue;
        }
        std::variant<TestRecord, std::string> record = RecordFrom(row);
        lastRowKept = std::holds_alternative<TestRecord>(record);
        if (!lastRowKept) {
            skip(index, std::get<std::string>(record));
            continue;
        }
        imported.history.records.push_back(std::move(std::get<TestRecord>(record)));
        ++imported.testsRead;
    }
    return imported;
}

}  // namespace qm4250
