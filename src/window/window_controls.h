#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace qm4250 {

// Every control of the window, each with its control name as Qt object name.
struct WindowControls {
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QListWidget* List1;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QPushButton* cmdRequest;
    QPushButton* cmdCancel;
    QPushButton* cmdSave;
    QPushButton* cmdReqMode;
    QPushButton* cmdSetMode;
    QPushButton* cmdExit;
    QLineEdit* txtNumValues;
    QLineEdit* txtCurrentMode;
    QRadioButton* optSetUp;
    QRadioButton* optRun;
    QRadioButton* optCal;
    QRadioButton* optData;
    QRadioButton* optComm[5];  // optComm1 .. optComm5
    QLabel* Image1;
    QStatusBar* StatusBar1;
    QLabel* statusPanel1;
    QLabel* recordCounter;     // the second, right-hand panel
    QPushButton* openArchive;  // a flat link to the archive window, after it
};

// Creates the controls on the form at their fixed positions, with their captions, fonts and
// tab order, and lines the list's headings up with its columns.
WindowControls BuildWindowControls(QWidget* form);

}  // namespace qm4250
