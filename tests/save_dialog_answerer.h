#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QTimer>

// Plays the operator at the save dialog: notes its settings, then saves under `fileName`, or
// cancels when it is empty.
class SaveDialogAnswerer {
  public:
    explicit SaveDialogAnswerer(QString fileName) : fileName_(std::move(fileName)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { answerOpenDialog(); });
        poll_.start(5);
    }

    QString title, suffix, folder, nameFilledIn;
    QStringList filters;

  private:
    void answerOpenDialog() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            title = dialog->windowTitle();
            suffix = dialog->defaultSuffix();
            filters = dialog->nameFilters();
            folder = dialog->directory().absolutePath();
            if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
                nameFilledIn = name->text();
            if (fileName_.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(fileName_);
                static_cast<QDialog*>(dialog)->accept();  // as the Save button does
            }
        }
    }

    QString fileName_;
    QTimer poll_;
};
