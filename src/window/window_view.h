#pragma once

#include <string_view>

#include "protocol/operating_mode.h"

namespace qm4250 {

enum class Button { Request, Cancel, Save, ReqMode, SetMode, Exit };

// What the presenter changes on the window. Texts are UTF-8; received text, one byte one
// character, is converted by the presenter before it comes here.
class WindowView {
  public:
    virtual ~WindowView() = default;

    virtual void setStatusText(std::string_view text) = 0;
    // The status bar's second panel: how many records an upload has brought, and what the
    // archive made of them.
    virtual void setRecordCounter(std::string_view text) = 0;
    virtual void clearList() = 0;
    virtual void addListLine(std::string_view line) = 0;
    virtual void setRelayCaption(std::string_view caption) = 0;  // Label3
    virtual void setCurrentModeText(std::string_view text) = 0;  // txtCurrentMode
    virtual void selectModeOption(OperatingMode mode) = 0;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;
    // Modal, OK only; returns when the operator has closed it. The detail, when not empty, says
    // more under the text (the platform's reason for a port failure).
    virtual void showMessage(std::string_view text, std::string_view detail) = 0;
    virtual void setBusyCursor(bool busy) = 0;
};

}  // namespace qm4250
