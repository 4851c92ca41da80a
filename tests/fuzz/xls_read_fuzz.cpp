// Any bytes as a .xls file, read from a regular file as from a disk: the reader must end in an
// outcome, never crash or read out of bounds; its rows must lie within a sheet and hold valid
// UTF-8, and an error must be plain words, never bytes of the file.
#include <cstddef>

#include "fuzz_target.h"
#include "sheet_checks.h"
#include "sheets/xls/xls_reader.h"

using namespace qm4250;

namespace {

// A text holds at most 65,535 UTF-16 code units, each at most 3 bytes of UTF-8.
constexpr size_t kLongestCell = 3 * 65535;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file("xls_read_fuzz");
    file.write(std::string_view(reinterpret_cast<const char*>(data), size));
    CheckedRows rows(65'536, kLongestCell);
    CheckError(ReadXlsRows(file.fd(), rows));
    return 0;
}
