#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/sheet_rows.h"
#include "protocol/history.h"

namespace qm4250 {

// A sheet this program saved, read back row by row into the history it was saved from. Row 1 is
// the header; the first row after it with any content is the identification ("SN = …",
// "Model: …") where there is one; every later row is a test record, or the power-up marker of
// the record above it. The raw seconds come back from the time/date text, its two-digit year
// read as 2004 to 2103; the relay field from the On/Off cells and the marker. A row that cannot
// be read is skipped and said why; rows without content are passed over.
class SheetImport : public SheetRows {
  public:
    // How many skipped rows are said why; the others are only counted.
    static constexpr size_t kReasonsKept = 100;

    bool row(uint64_t number, const SheetRow& cells) override;
    bool rowTooLong(uint64_t number) override;

    // False when row 1 is not a history sheet's header; the reading stops there.
    bool isHistorySheet() const { return isHistorySheet_; }
    // Whether the identification row, or the first test in its place, has been read.
    bool instrumentKnown() const { return instrumentKnown_; }
    const std::optional<Identification>& identification() const { return identification_; }

    // The records read and not yet taken, oldest first. Without `all` the last one stays behind,
    // as a power-up marker in the next row may still change it.
    std::vector<TestRecord> takeRecords(bool all);
    size_t recordsWaiting() const { return records_.size(); }

    uint64_t testsRead() const { return testsRead_; }
    uint64_t rowsSkipped() const { return rowsSkipped_; }
    // "row 12: the time/date … is not one the instrument writes", for the first kReasonsKept.
    const std::vector<std::string>& skipReasons() const { return skipReasons_; }

  private:
    void skip(uint64_t number, const std::string& why);

    bool isHistorySheet_ = true;
    bool headerRead_ = false;
    bool instrumentKnown_ = false;
    std::optional<Identification> identification_;
    std::vector<TestRecord> records_;
    bool lastRowKept_ = false;
    uint64_t testsRead_ = 0;
    uint64_t rowsSkipped_ = 0;
    std::vector<std::string> skipReasons_;
};

}  // namespace qm4250
