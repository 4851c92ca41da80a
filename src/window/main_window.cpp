#include "window/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <utility>

#include "version.h"
#include "window/settings_file.h"

namespace qm4250 {

namespace {

// Every text the presenter hands over is UTF-8, received ones converted already.
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Back-to-back frames can bring a line every few dozen microseconds, and repainting the list for
// each would take longer than the exchange itself; at this rate the eye sees no difference.
constexpr int kListRepaintMs = 30;

}  // namespace

MainWindow::MainWindow(SerialPort& port, ResponseTimer& timer, std::string settingsPath,
                       PortDevices devices, UploadArchiver* archiver, QWidget* parent)
    : QWidget(parent),
      controls_(BuildWindowControls(this)),
      presenter_(*this, *this, archiver),
      controller_(port, timer, presenter_, *this),
      settingsPath_(std::move(settingsPath)),
      archiveProgram_(QApplication::applicationDirPath() + "/qm4250-archive"),
      portOptions_({controls_.optComm[0], controls_.optComm[1], controls_.optComm[2],
                    controls_.optComm[3], controls_.optComm[4]},
                   std::move(devices), this) {
    setObjectName("Form1");
    setWindowTitle(QString("QM 4250 History Data Upload (V%1)").arg(kVersion));
    setFixedSize(14475 / 15, 10005 / 15);
    listRepaintHold_.setSingleShot(true);
    listRepaintHold_.setInterval(kListRepaintMs);
    connect(&listRepaintHold_, &QTimer::timeout, this,
            [this] { controls_.List1->viewport()->setUpdatesEnabled(true); });
    connectControls();
    presenter_.whenArchived([this] {
        if (std::exchange(requestHeld_, false))
            controller_.requestClicked();
    });
    loadSettings();
}

// A REQUEST while the last upload is being archived waits for the write to report, so that its
// outcome is seen before a new upload starts and the two never overlap.
void MainWindow::requestClicked() {
    if (presenter_.archiving())
        requestHeld_ = true;
    else
        controller_.requestClicked();
}

void MainWindow::connectControls() {
    const WindowControls& c = controls_;
    connect(c.cmdRequest, &QPushButton::clicked, this, &MainWindow::requestClicked);
    connect(c.cmdCancel, &QPushButton::clicked, this, [this] { controller_.cancelClicked(); });
    connect(c.cmdReqMode, &QPushButton::clicked, this, [this] { controller_.getModeClicked(); });
    connect(c.cmdSetMode, &QPushButton::clicked, this, [this] { controller_.changeModeClicked(); });
    connect(c.cmdSave, &QPushButton::clicked, this, [this] { controller_.saveClicked(); });
    connect(c.cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(c.openArchive, &QPushButton::clicked, this, &MainWindow::openArchiveWindow);
    for (int n = 1; n <= 5; ++n) {
        // toggled, not clicked: selecting the option from the settings file runs it too.
        connect(c.optComm[n - 1], &QRadioButton::toggled, this, [this, n](bool selected) {
            if (selected)
                controller_.portOptionClicked(n);
        });
    }
}

void MainWindow::openArchiveWindow() {
    QProcess archive;
    archive.setProgram(archiveProgram_);
    if (archive.startDetached())
        return;
    // Qt names the call that failed before the system's words ("execv: Permission denied"); the
    // operator needs only the words.
    static const QRegularExpression kCall("^[a-z_]+: ");
    QString reason = archive.errorString().remove(kCall);
    showMessage(kArchiveWindowFailure, (archiveProgram_ + ": " + reason).toStdString());
}

// A missing or unreadable file falls back to COMM 1 without a word; a stored number outside
// 1 to 5 is kept, with no option selected, and tried at the next command.
void MainWindow::loadSettings() {
    int port = ReadPortSetting(settingsPath_).value_or(1);
    controller_.portOptionClicked(port);
    if (port >= 1 && port <= 5)
        controls_.optComm[port - 1]->setChecked(true);
}

void MainWindow::saveSettings() {
    if (!WritePortSetting(settingsPath_, controller_.state().portNumber()))
        showMessage(kSettingsWriteFailure, "");
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveSettings();
    event->accept();
}

void MainWindow::setStatusText(std::string_view text) {
    controls_.statusPanel1->setText(FromUtf8(text));
}

void MainWindow::setRecordCounter(std::string_view text) {
    controls_.recordCounter->setText(FromUtf8(text));
}

void MainWindow::clearList() {
    controls_.List1->clear();
}

void MainWindow::addListLine(std::string_view line) {
    controls_.List1->addItem(FromUtf8(line));
    // The list repaints at most once per kListRepaintMs while lines keep coming.
    if (!listRepaintHold_.isActive()) {
        controls_.List1->viewport()->setUpdatesEnabled(false);
        listRepaintHold_.start();
    }
}

void MainWindow::setRelayCaption(std::string_view caption) {
    controls_.Label3->setText(FromUtf8(caption));
}

std::string MainWindow::requestedCount() const {
    return controls_.txtNumValues->text().toStdString();
}

void MainWindow::setCurrentModeText(std::string_view text) {
    controls_.txtCurrentMode->setText(FromUtf8(text));
}

std::optional<OperatingMode> MainWindow::selectedMode() const {
    if (controls_.optSetUp->isChecked())
        return OperatingMode::SetUp;
    if (controls_.optRun->isChecked())
        return OperatingMode::Run;
    if (controls_.optCal->isChecked())
        return OperatingMode::Calibrate;
    if (controls_.optData->isChecked())
        return OperatingMode::Data;
    return std::nullopt;
}

void MainWindow::selectModeOption(OperatingMode mode) {
    switch (mode) {
        case OperatingMode::SetUp:
            controls_.optSetUp->setChecked(true);
            break;
        case OperatingMode::Calibrate:
            controls_.optCal->setChecked(true);
            break;
        case OperatingMode::Run:
            controls_.optRun->setChecked(true);
            break;
        case OperatingMode::Data:
            controls_.optData->setChecked(true);
            break;
    }
}

QPushButton* MainWindow::buttonFor(Button button) const {
    switch (button) {
        case Button::Request:
            return controls_.cmdRequest;
        case Button::Cancel:
            return controls_.cmdCancel;
        case Button::Save:
            return controls_.cmdSave;
        case Button::ReqMode:
            return controls_.cmdReqMode;
        case Button::SetMode:
            return controls_.cmdSetMode;
        case Button::Exit:
            return controls_.cmdExit;
    }
    return nullptr;
}

void MainWindow::setButtonEnabled(Button button, bool enabled) {
    buttonFor(button)->setEnabled(enabled);
}

void MainWindow::showMessage(std::string_view text, std::string_view detail) {
    QMessageBox box(QMessageBox::NoIcon, kProgramName, FromUtf8(text), QMessageBox::Ok, this);
    box.setObjectName("MessageBox");
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(FromUtf8(detail));
    // The detail may quote a device's or the system's words: never taken for markup.
    if (auto* informative = box.findChild<QLabel*>("qt_msgbox_informativelabel"))
        informative->setTextFormat(Qt::PlainText);
    box.exec();
}

// Where the last save went, else the user's documents. A folder that does not exist would be
// taken for a file name and filled in ("app.dir" was), and Enter would then write a file the
// operator never named.
QString MainWindow::saveFolder() const {
    for (const QString& folder :
         {lastSaveFolder_, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

// Excel 97-2003 first, as the default; the suffix follows the chosen type when none is typed.
// No file name is filled in. Replacing an existing file is confirmed by the dialog.
std::string MainWindow::chooseSaveFileName() {
    QFileDialog dialog(this, "Save History Data As Excel Spreadsheet", saveFolder());
    dialog.setObjectName("CommonDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({"Excel (*.xls)", "Excel Workbook (*.xlsx)", "CSV (*.csv)"});
    dialog.setDefaultSuffix("xls");
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.section("*.", 1).chopped(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString chosen = dialog.selectedFiles().constFirst();
    lastSaveFolder_ = QFileInfo(chosen).absolutePath();
    return QFile::encodeName(chosen).toStdString();
}

void MainWindow::setBusyCursor(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace qm4250
