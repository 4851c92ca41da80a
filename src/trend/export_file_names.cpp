#include "trend/export_file_names.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace qm4250 {

QStringList FilterExtensions(const QString& filter) {
    static const QRegularExpression pattern("\\*\\.([^ )]+)");
    QStringList extensions;
    for (const QRegularExpressionMatch& match : pattern.globalMatch(filter))
        extensions << match.captured(1);
    return extensions;
}

QString SuggestedFileName(const QString& what, const QString& pn, const QDate& day,
                          const QString& extension) {
    QString name = what;
    if (!pn.isEmpty()) {
        QString safe = pn;
        for (QChar& c : safe)
            if (!c.isLetterOrNumber() && c != '-' && c != '_' && c != '.')
                c = '_';
        name += "-" + safe;
    }
    return name + "-" + day.toString("yyyy-MM-dd") + "." + extension;
}

QString WithExtension(const QString& path, const QString& chosenFilter,
                      const QStringList& filters) {
    QString suffix = QFileInfo(path).suffix();
    for (const QString& filter : filters)
        if (FilterExtensions(filter).contains(suffix, Qt::CaseInsensitive))
            return path;
    QStringList chosen = FilterExtensions(chosenFilter);
    if (chosen.isEmpty())
        return path;
    return path + (path.endsWith('.') ? "" : ".") + chosen.front();
}

}  // namespace qm4250
