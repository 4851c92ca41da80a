#include "trend/listed_names.h"

namespace qm4250 {

QString ListedName(const std::map<qint64, TestName>& names, qint64 id, bool withSerial) {
    auto name = names.find(id);
    if (name == names.end())
        return kDeletedTest;
    return withSerial ? name->second.seq + " of " + name->second.serial : name->second.seq;
}

}  // namespace qm4250
