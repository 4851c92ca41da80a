#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "session/controller.h"
#include "session/view.h"
#include "window/window_controls.h"

inline constexpr const char* kProgramName = "QM4250 History Upload";
inline constexpr const char* kWindowTitle = "QM 4250 History Data Upload (V1.1)";

// The program's only window: a thin shell that shows what the controller decides and hands it
// the operator's clicks. The settings file remembers the chosen port between runs.
class MainWindow : public QWidget, public View {
    Q_OBJECT
  public:
    MainWindow(SerialPort& port, ResponseTimer& timer, std::string settingsPath,
               QWidget* parent = nullptr);

    Controller& controller() { return controller_; }
    const WindowControls& controls() const { return controls_; }

    // The platform's reason for the last port failure, shown under a port message box.
    void setPortErrorSource(std::function<QString()> lastPortError);

    void setStatusText(std::string_view text) override;
    void setRecordCounter(std::string_view text) override;
    void clearList() override;
    void addListLine(std::string_view line) override;
    void setRelayCaption(std::string_view caption) override;
    std::string numValuesText() const override;
    void setCurrentModeText(std::string_view text) override;
    ModeOption selectedModeOption() const override;
    void selectModeOption(ModeOption option) override;
    void setButtonEnabled(Button button, bool enabled) override;
    void showMessage(std::string_view text) override;
    std::string chooseSaveFileName() override;
    void setBusyCursor(bool busy) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void connectControls();
    void loadSettings();
    void saveSettings();
    QPushButton* buttonFor(Button button) const;

    WindowControls controls_;
    Controller controller_;
    std::string settingsPath_;
    std::function<QString()> lastPortError_;
    QTimer listRepaintHold_;
};
