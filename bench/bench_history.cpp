#include "bench_history.h"

#include <cstdint>
#include <string>

#include "protocol/field_format.h"

using namespace qm4250;

namespace {

constexpr int kPartNumbers = 10;
constexpr int32_t kThreeYears = 3 * 365 * 86400;

}  // namespace

History InstrumentHistory(int instrument, int count, int firstSeq) {
    History history;
    std::string serial = std::to_string(4250100 + instrument);
    // Built by appending: GCC 12 warns falsely on short concatenations in Release.
    history.identification = Identification{serial, "S", "Norvik"};
    history.records.reserve(static_cast<size_t>(count));
    int32_t start = 536457600;  // 2021-01-01
    for (int k = 0; k < count; ++k) {
        int32_t seconds = start + static_cast<int32_t>(int64_t{kThreeYears} * k / count);
        int16_t relays = k % 50 == 0 ? 8 : 4;
        std::string seq = std::to_string(firstSeq + k);
        std::string pn = "PN";
        pn += std::to_string(k % kPartNumbers);
        std::string cust = "C";
        cust += std::to_string(k % 7);
        std::string leak = "0.00";
        leak += std::to_string(k % 97);
        std::string relayField = std::to_string(relays);
        history.records.emplace_back(TestRecord::Fields{
            seq, pn, cust, leak, "N", seconds, TimeDateOf(seconds).view(), relayField, relays});
    }
    return history;
}
