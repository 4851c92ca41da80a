#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

// Plays the operator at a modal message box: notes its texts and presses OK once `delayMs` has
// passed, so the box's own event loop runs meanwhile.
class MessageBoxCatcher {
  public:
    explicit MessageBoxCatcher(int delayMs = 0) : delayMs_(delayMs) {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { closeOpenBox(); });
        poll_.start();
    }

    QStringList texts;
    QStringList informativeTexts;
    QStringList titles;

  private:
    void closeOpenBox() {
        QMessageBox* box = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* candidate = qobject_cast<QMessageBox*>(widget);
                candidate && candidate->isVisible())
                box = candidate;
        if (!box || box->property("caught").toBool())
            return;
        box->setProperty("caught", true);
        texts << box->text();
        informativeTexts << box->informativeText();
        titles << box->windowTitle();
        QTimer::singleShot(delayMs_, box, [box] { box->button(QMessageBox::Ok)->click(); });
    }

    int delayMs_;
    QTimer poll_;
};
