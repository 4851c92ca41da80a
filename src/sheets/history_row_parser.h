#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/history.h"
#include "sheets/sheet_rows.h"

namespace qm4250 {

// Where HistoryRowParser puts the tests it reads, instrument by instrument, in the file's order.
class ImportedTests {
  public:
    virtual ~ImportedTests() = default;
    // The tests that follow are this instrument's (none: a sheet without an identification row).
    // False stops the reading.
    virtual bool instrument(const std::optional<Identification>& identification) = 0;
    virtual bool test(TestRecord record) = 0;
};

// Why a row of a history sheet gave no test.
enum class SkipReason {
    TimeDateUnreadable,  // not a time the instrument's clock shows ("Feb 30/04 …", "noon")
    OutsideClock,        // a time before 2004-01-01 or after 2072-01-19 03:14:07
    NotWholeSecond,      // a date cell between two seconds
    RelayNotOnOff,       // a relay cell other than On or Off
    ErrorNotCode,        // an error cell neither empty nor "*code"
    TooLong,             // a .csv record longer than 1 MiB
    CellTooLong,         // a cell longer than a worksheet cell holds: no instrument writes one
};

struct SkippedRow {
    std::string sheet;  // the worksheet's name; empty in a .csv
    uint64_t row = 0;
    SkipReason reason = SkipReason::TooLong;
    std::string cell;   // the cell at fault, UTF-8, cut to its first 200 bytes
    size_t column = 0;  // of the cell at fault, from 0 for A
};

// Sheets this program saved, read back row by row into the tests they were saved from. A sheet
// whose row 1 is the header holds, in order, an instrument's identification row ("SN = …",
// "Model: …", nothing else) and its tests, each test followed by its power-up marker row when it
// has one; several instruments follow one another, each after its identification row. A test's
// raw seconds come back from its time/date cell: the instrument's text (its two-digit year read as
// 2004 to 2103) or, as a spreadsheet writes a date cell, "YYYY-MM-DD HH:MM:SS". Its relay field
// comes back from the On/Off cells and the marker. A row that cannot be read is skipped and said
// why; rows without content are passed over, and so are sheets without the header.
class HistoryRowParser : public SheetRows {
  public:
    // How many skipped rows are kept to be shown; the others are only counted.
    static constexpr size_t kSkippedRowsKept = 20;

    explicit HistoryRowParser(ImportedTests& tests) : tests_(tests) {}

    bool sheet(std::string_view name) override;
    bool row(uint64_t number, const SheetRow& cells) override;
    bool rowTooLong(uint64_t number) override;
    void rowInWindows1252(uint64_t number) override;

    // Hands on the last test: call once the reading has ended. False when the receiver refused.
    bool finish();

    // Whether any sheet began with a history sheet's header.
    bool isHistorySheet() const { return historySheets_ > 0; }
    // The sheets passed over, without a history sheet's header in row 1.
    const std::vector<std::string>& sheetsPassedOver() const { return sheetsPassedOver_; }
    uint64_t testsRead() const { return testsRead_; }
    uint64_t rowsSkipped() const { return rowsSkipped_; }
    // The first kSkippedRowsKept of them.
    const std::vector<SkippedRow>& skippedRows() const { return skippedRows_; }
    // Whether every skipped row not kept was skipped for a reason among the kept ones.
    bool othersForTheSameReasons() const { return othersForTheSameReasons_; }
    // Rows read as Windows-1252, their bytes not being UTF-8.
    uint64_t rowsInWindows1252() const { return rowsInWindows1252_; }

  private:
    bool header(uint64_t number, const SheetRow& cells);
    bool content(uint64_t number, const SheetRow& cells);
    bool handOnPending();
    void skip(uint64_t number, SkipReason reason, const std::string& cell, size_t column);

    ImportedTests& tests_;
    std::string sheet_;
    bool headerExpected_ = true;
    bool inHistorySheet_ = false;
    bool instrumentKnown_ = false;
    std::optional<TestRecord> pending_;  // the last test, until the next row shows no marker
    uint64_t historySheets_ = 0;
    std::vector<std::string> sheetsPassedOver_;
    uint64_t testsRead_ = 0;
    uint64_t rowsSkipped_ = 0;
    std::vector<SkippedRow> skippedRows_;
    bool othersForTheSameReasons_ = true;
    uint64_t rowsInWindows1252_ = 0;
};

}  // namespace qm4250
