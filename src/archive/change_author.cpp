#include "archive/change_author.h"

#include <QtGlobal>

namespace qm4250 {

// A variable set but empty names no one.
QString ChangeAuthor() {
    for (const char* variable : {"USER", "LOGNAME"}) {
        QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return "unknown";
}

}  // namespace qm4250
