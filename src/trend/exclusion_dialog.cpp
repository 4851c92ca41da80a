#include "trend/exclusion_dialog.h"

#include <QInputDialog>
#include <QLabel>

namespace qm4250 {

std::optional<QString> AskExclusionReason(QWidget* parent, bool takeBack, const QString& testName) {
    QInputDialog dialog(parent);
    dialog.setObjectName("exclusionReason");
    dialog.setWindowTitle(takeBack ? "Take back into the limits" : "Leave out of the limits");
    dialog.setLabelText(testName + "\nReason:");
    // The name holds archived text: shown as the characters it is, never as markup.
    if (auto* label = dialog.findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted || dialog.textValue().trimmed().isEmpty())
        return std::nullopt;
    return dialog.textValue().trimmed();
}

}  // namespace qm4250
