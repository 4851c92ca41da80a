#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace qm4250 {

// Asks where to save, in the folder the last export went to (kept across runs in
// ~/.config/qm4250-upload/archive-window.ini), with `suggestedName` filled in. The path chosen
// ends in an extension of the filters, the chosen one's unless one of theirs was typed; an
// existing file is replaced only when the operator says so. Empty when cancelled.
QString AskSavePath(QWidget* parent, const QString& title, const QStringList& filters,
                    const QString& suggestedName);

}  // namespace qm4250
