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

QString KeptText(const QString& text) {
    QString kept = text.isNull() ? QString("") : text;
    return kept.replace(QChar(0), QChar(0x2400));
}

std::vector<QString> KeptTexts(const std::vector<QString>& texts) {
    std::vector<QString> kept;
    kept.reserve(texts.size());
    for (const QString& text : texts)
        kept.push_back(KeptText(text));
    return kept;
}

}  // namespace qm4250
