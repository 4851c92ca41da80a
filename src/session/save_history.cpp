#include "session/save_history.h"

#include "session/handler_context.h"

namespace qm4250 {

SaveResult SaveUploadedHistory(const ExchangeState& state, const std::string& fileName) {
    if (!state.history())
        return SaveFailure(Failure{Failure::Kind::NothingToWrite, 0, fileName});
    return SaveHistory(*state.history(), fileName);
}

void SaveClicked(HandlerContext& context) {
    context.listener.saveStarted();
    std::string fileName = context.input.chooseSaveFileName();
    if (!fileName.empty()) {
        context.listener.saveWriting();
        context.listener.saveFinished(SaveUploadedHistory(context.state, fileName));
    }
    context.listener.saveEnded();
}

}  // namespace qm4250
