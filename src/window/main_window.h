#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <string>

#include "session/controller.h"
#include "session/operator_input.h"
#include "window/port_options.h"
#include "window/presenter.h"
#include "window/window_controls.h"
#include "window/window_view.h"

namespace qm4250 {

inline constexpr const char* kProgramName = "QM4250 History Upload";
// The message box's text when "Open archive" cannot start the archive window; its detail names
// the program and why.
inline constexpr const char* kArchiveWindowFailure = "The archive window cannot be started";

// The program's only window: a thin shell that hands the operator's clicks to the controller and
// shows what the presenter makes of the session's events. The settings file remembers the chosen
// port between runs.
class MainWindow : public QWidget, public WindowView, public OperatorInput {
    Q_OBJECT
  public:
    MainWindow(SerialPort& port, ResponseTimer& timer, std::string settingsPath,
               PortDevices devices = {}, UploadArchiver* archiver = nullptr,
               QWidget* parent = nullptr);

    Controller& controller() { return controller_; }
    PortOptions& portOptions() { return portOptions_; }
    const WindowControls& controls() const { return controls_; }
    // The archive window is a program of its own, installed beside this one; tests name another.
    void setArchiveProgram(const QString& path) { archiveProgram_ = path; }

    void setStatusText(std::string_view text) override;
    void setRecordCounter(std::string_view text) override;
    void clearList() override;
    void addListLine(std::string_view line) override;
    void setRelayCaption(std::string_view caption) override;
    void setCurrentModeText(std::string_view text) override;
    void selectModeOption(OperatingMode mode) override;
    void setButtonEnabled(Button button, bool enabled) override;
    void showMessage(std::string_view text, std::string_view detail) override;
    void setBusyCursor(bool busy) override;

    std::string requestedCount() const override;
    std::optional<OperatingMode> selectedMode() const override;
    std::string chooseSaveFileName() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void connectControls();
    void requestClicked();
    void openArchiveWindow();
    void loadSettings();
    void saveSettings();
    QPushButton* buttonFor(Button button) const;
    QString saveFolder() const;

    WindowControls controls_;
    Presenter presenter_;
    Controller controller_;
    std::string settingsPath_;
    QString archiveProgram_;
    PortOptions portOptions_;
    QTimer listRepaintHold_;
    QString lastSaveFolder_;    // where the operator saved last in this run
    bool requestHeld_ = false;  // REQUEST clicked while an archive write was under way
};

}  // namespace qm4250
