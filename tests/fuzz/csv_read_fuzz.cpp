// Any bytes as a .csv file: every record is handed on, numbered one after another, as a row or
// as too long; no cell holds more characters than a record may, and no character is made up.
// Read into the import, every test it hands on has a time the instrument's clock can show.
#include "fuzz_target.h"
#include "protocol/field_format.h"
#include "sheet_checks.h"
#include "sheets/csv_reader.h"
#include "sheets/history_row_parser.h"

using namespace qm4250;

namespace {

// Characters, not bytes: a row read as Windows-1252 takes two UTF-8 bytes for some of them.
size_t Characters(const std::string& utf8) {
    size_t characters = 0;
    for (char c : utf8)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return characters;
}

class CountedRows : public SheetRows {
  public:
    bool row(uint64_t number, const SheetRow& cells) override {
        FUZZ_CHECK(number == ++rows_);
        for (const std::string& cell : cells) {
            FUZZ_CHECK(IsUtf8(cell) && Characters(cell) <= kMaxCsvRecordBytes);
            characters_ += Characters(cell);
        }
        return true;
    }
    bool rowTooLong(uint64_t number) override {
        FUZZ_CHECK(number == ++rows_);
        return true;
    }
    size_t characters() const { return characters_; }

  private:
    uint64_t rows_ = 0;
    size_t characters_ = 0;
};

class CheckedTests : public ImportedTests {
  public:
    bool instrument(const std::optional<Identification>&) override { return true; }
    bool test(TestRecord record) override {
        FUZZ_CHECK(record.seconds() >= 0 &&
                   TimeDateOf(record.seconds()).view() == record.timeDate());
        ++tests_;
        return true;
    }
    uint64_t tests() const { return tests_; }

  private:
    uint64_t tests_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file("csv_read_fuzz");
    file.write(std::string_view(reinterpret_cast<const char*>(data), size));
    CountedRows rows;
    FUZZ_CHECK(!ReadCsvRows(file.fd(), rows));
    FUZZ_CHECK(rows.characters() <= size);
    CheckedTests tests;
    HistoryRowParser sheet(tests);
    file.rewind();
    FUZZ_CHECK(!ReadCsvRows(file.fd(), sheet) && sheet.finish());
    FUZZ_CHECK(tests.tests() == sheet.testsRead());
    return 0;
}
