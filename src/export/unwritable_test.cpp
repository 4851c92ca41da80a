#include "export/unwritable_test.h"

#include <array>
#include <utility>

#include "formats/worksheet_cell.h"

namespace qm4250 {

std::optional<UnwritableTest> FirstUnwritableTest(const History& history) {
    for (const TestRecord& record : history.records) {
        // The cells BuildCellTable makes of it; each received byte is one character.
        const std::array<std::pair<const char*, size_t>, 5> fields{{
            {"SEQ#", record.seq().size()},
            {"PN", record.pn().size()},
            {"Cust Code", record.custCode().size()},
            {"Leak", record.leak().size()},
            {"Error", ErrorText(record).size()},
        }};
        for (const auto& [field, characters] : fields) {
            if (characters > kMaxCellCharacters)
                return UnwritableTest{history.identification ? std::optional<std::string>(
                                                                   history.identification->serial)
                                                             : std::nullopt,
                                      std::string(record.seq()), std::string(record.pn()), field,
                                      UnwritableTest::Reason::CellTooLong};
        }
    }
    return std::nullopt;
}

}  // namespace qm4250
