#include "trend/save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

#include "trend/export_file_names.h"

namespace qm4250 {

namespace {

constexpr const char* kFolderKey = "exportFolder";

QString SettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/qm4250-upload/archive-window.ini";
}

// The last export's folder, else the user's documents. A folder that is gone would be taken for a
// file name by the dialog.
QString StartFolder() {
    QString last = QSettings(SettingsPath(), QSettings::IniFormat).value(kFolderKey).toString();
    for (const QString& folder :
         {last, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

}  // namespace

QString AskSavePath(QWidget* parent, const QString& title, const QStringList& filters,
                    const QString& suggestedName) {
    QFileDialog dialog(parent, title, StartFolder());
    dialog.setObjectName("saveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // A name typed without an extension gets the chosen type's before the dialog asks about
    // replacing a file.
    dialog.setDefaultSuffix(FilterExtensions(filters.front()).value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         dialog.setDefaultSuffix(FilterExtensions(filter).value(0));
                     });
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString typed = dialog.selectedFiles().constFirst();
    QString path = WithExtension(typed, dialog.selectedNameFilter(), filters);
    // The dialog asked about the name typed, not about the one with its extension.
    if (path != typed && QFileInfo::exists(path) &&
        QMessageBox::question(
            parent, title,
            QFileInfo(path).fileName() + " already exists.\nDo you want to replace it?") !=
            QMessageBox::Yes)
        return {};
    QSettings(SettingsPath(), QSettings::IniFormat)
        .setValue(kFolderKey, QFileInfo(path).absolutePath());
    return path;
}

}  // namespace qm4250
