#pragma once

#include <string>
#include <string_view>

enum class Button { Request, Cancel, Save, ReqMode, SetMode, Exit };

// The four option buttons of the operating mode group; None when none is selected.
enum class ModeOption { None, SetUp, Calibrate, Run, Data };

// What the handlers need of the window. Texts are bytes: one received byte is one character.
class View {
  public:
    virtual ~View() = default;

    virtual void setStatusText(std::string_view text) = 0;
    // The status bar's second panel: how many records an upload has brought.
    virtual void setRecordCounter(std::string_view text) = 0;
    virtual void clearList() = 0;
    virtual void addListLine(std::string_view line) = 0;
    virtual void setRelayCaption(std::string_view caption) = 0;  // Label3
    virtual std::string numValuesText() const = 0;               // txtNumValues
    virtual void setCurrentModeText(std::string_view text) = 0;  // txtCurrentMode
    virtual ModeOption selectedModeOption() const = 0;
    virtual void selectModeOption(ModeOption option) = 0;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;
    // Modal, OK only; returns when the operator has closed it.
    virtual void showMessage(std::string_view text) = 0;
    // The save dialog; an empty name when the operator cancels.
    virtual std::string chooseSaveFileName() = 0;
    virtual void setBusyCursor(bool busy) = 0;
};
