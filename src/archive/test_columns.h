#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm4250 {

// The columns of `tests` after its id, in the table's order. The writers list and bind them from
// kTestColumns, each giving a column's value by this name.
enum class TestColumn {
    InstrumentId,
    Seq,
    Pn,
    CustCode,
    LeakText,
    Leak,
    ErrorCode,
    TimeSeconds,
    TestedAt,
    RelayField,
    PowerUp,
    RelayGp,
    RelayBp,
    RelayGe,
    FirstUploadId,
};

struct TestColumnDefinition {
    TestColumn column;
    const char* name;
    const char* postgresType;  // as the table has it on PostgreSQL, for a table staging its rows
};

inline constexpr std::array<TestColumnDefinition, 15> kTestColumns{{
    {TestColumn::InstrumentId, "instrument_id", "INTEGER"},
    {TestColumn::Seq, "seq", "TEXT"},
    {TestColumn::Pn, "pn", "TEXT"},
    {TestColumn::CustCode, "cust_code", "TEXT"},
    {TestColumn::LeakText, "leak_text", "TEXT"},
    {TestColumn::Leak, "leak", "DOUBLE PRECISION"},
    {TestColumn::ErrorCode, "error_code", "TEXT"},
    {TestColumn::TimeSeconds, "time_seconds", "INTEGER"},
    {TestColumn::TestedAt, "tested_at", "TEXT"},
    {TestColumn::RelayField, "relay_field", "TEXT"},
    {TestColumn::PowerUp, "power_up", "SMALLINT"},
    {TestColumn::RelayGp, "relay_gp", "SMALLINT"},
    {TestColumn::RelayBp, "relay_bp", "SMALLINT"},
    {TestColumn::RelayGe, "relay_ge", "SMALLINT"},
    {TestColumn::FirstUploadId, "first_upload_id", "INTEGER"},
}};

// A column's place among kTestColumns, from 0.
constexpr int TestColumnIndex(TestColumn column) {
    return static_cast<int>(column);
}

// The enumerators name the columns in the table's order, so that a column's index is its place.
constexpr bool ColumnsInEnumOrder() {
    for (size_t k = 0; k < kTestColumns.size(); ++k) {
        if (TestColumnIndex(kTestColumns[k].column) != static_cast<int>(k))
            return false;
    }
    return true;
}
static_assert(ColumnsInEnumOrder());

// The names of kTestColumns joined by ", ", for a statement's column list.
QString TestColumnNames();

// The leak as a number, where its text is a finite one.
std::optional<double> LeakNumber(std::string_view text);

}  // namespace qm4250
