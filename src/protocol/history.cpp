#include "protocol/history.h"

namespace qm4250 {

std::string ErrorText(const TestRecord& record) {
    return record.errorCode == "N" ? std::string() : "*" + record.errorCode;
}

bool PowerUp(const TestRecord& record) {
    return RelayOn(record, 0);
}

bool RelayOn(const TestRecord& record, int bit) {
    return record.relays >= 0 && (record.relays >> bit & 1) != 0;
}

bool IsPellmar(const Identification& identification) {
    return identification.modelName == "Pellmar";
}

}  // namespace qm4250
