// Any bytes as a .csv file: every record is handed on, numbered one after another, as a row or
// as too long; no cell holds more than a record may, and no byte is made up.
#include "archive/csv_reader.h"
#include "fuzz_target.h"
#include "sheet_checks.h"

using namespace qm4250;

namespace {

class CountedRows : public SheetRows {
  public:
    bool row(uint64_t number, const SheetRow& cells) override {
        FUZZ_CHECK(number == ++rows_);
        for (const std::string& cell : cells) {
            FUZZ_CHECK(cell.size() <= kMaxCsvRecordBytes);
            cellBytes_ += cell.size();
        }
        return true;
    }
    bool rowTooLong(uint64_t number) override {
        FUZZ_CHECK(number == ++rows_);
        return true;
    }
    size_t cellBytes() const { return cellBytes_; }

  private:
    uint64_t rows_ = 0;
    size_t cellBytes_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file("csv_read_fuzz");
    file.write(std::string_view(reinterpret_cast<const char*>(data), size));
    CountedRows rows;
    FUZZ_CHECK(!ReadCsvRows(file.fd(), rows));
    FUZZ_CHECK(rows.cellBytes() <= size);
    return 0;
}
