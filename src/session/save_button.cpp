#include "session/save_button.h"

#include <string>

#include "session/handler_context.h"
#include "session/window_state.h"

namespace {

constexpr Button kDisabledWhileSaving[] = {Button::Request, Button::Cancel, Button::ReqMode,
                                           Button::SetMode};

void EnableCommands(View& view, bool enabled) {
    for (Button button : kDisabledWhileSaving)
        view.setButtonEnabled(button, enabled);
}

}  // namespace

SaveResult SaveUploadedHistory(const WindowState& state, const std::string& fileName) {
    return state.history ? SaveHistory(*state.history, fileName) : SaveResult::NotSaved;
}

void SaveButtonClicked(HandlerContext& context) {
    EnableCommands(context.view, false);
    std::string fileName = context.view.chooseSaveFileName();
    if (!fileName.empty()) {
        context.view.setBusyCursor(true);
        SaveResult result = SaveUploadedHistory(context.state, fileName);
        context.view.setBusyCursor(false);
        context.view.setStatusText(result == SaveResult::Saved ? kHistorySaved : kHistoryNotSaved);
    }
    EnableCommands(context.view, true);
}
