#include "session/save_button.h"

#include <string>

#include "export/save_history_workbook.h"
#include "session/handler_context.h"

namespace {

constexpr Button kDisabledWhileSaving[] = {Button::Request, Button::Cancel, Button::ReqMode,
                                           Button::SetMode};

void EnableCommands(View& view, bool enabled) {
    for (Button button : kDisabledWhileSaving)
        view.setButtonEnabled(button, enabled);
}

}  // namespace

void SaveButtonClicked(HandlerContext& context) {
    EnableCommands(context.view, false);
    std::string fileName = context.view.chooseSaveFileName();
    if (!fileName.empty()) {
        context.view.setBusyCursor(true);
        std::string outcome = SaveHistoryWorkbook(context.state, fileName);
        context.view.setBusyCursor(false);
        context.view.setStatusText(outcome);
    }
    EnableCommands(context.view, true);
}
