#include "session/controller.h"

#include <algorithm>
#include <utility>

#include "session/history_request.h"
#include "session/operating_mode.h"
#include "session/receive_handler.h"
#include "session/response_timeout.h"
#include "session/save_history.h"

namespace qm4250 {

void Controller::CountingTimer::start() {
    ++changes_;
    timer_.start();
}

void Controller::CountingTimer::stop() {
    ++changes_;
    timer_.stop();
}

Controller::Controller(SerialPort& port, ResponseTimer& timer, SessionListener& listener,
                       OperatorInput& input)
    : timer_(timer), context_{state_, port, timer_, listener, input} {}

void Controller::requestClicked() {
    post(EventKind::Request);
}
void Controller::cancelClicked() {
    post(EventKind::Cancel);
}
void Controller::getModeClicked() {
    post(EventKind::GetMode);
}
void Controller::changeModeClicked() {
    post(EventKind::ChangeMode);
}
void Controller::portOptionClicked(int portNumber) {
    post(EventKind::PortOption, portNumber);
}
void Controller::saveClicked() {
    post(EventKind::Save);
}
void Controller::dataReceived() {
    post(EventKind::Data);
}
void Controller::lineError(LineError error) {
    post(EventKind::LineError, static_cast<int>(error));
}
void Controller::portLost(std::string reason) {
    post(EventKind::PortLost, 0, std::move(reason));
}
void Controller::timerTick() {
    post(EventKind::Tick);
}

void Controller::post(EventKind kind, int value, std::string text) {
    pending_.push_back({kind, value, std::move(text), timer_.changes()});
    if (running_)
        return;
    running_ = true;
    while (!pending_.empty()) {
        Event event = std::move(pending_.front());
        pending_.pop_front();
        run(event);
    }
    running_ = false;
}

void Controller::run(const Event& event) {
    switch (event.kind) {
        case EventKind::Request:
            RequestHistory(context_);
            reportProgress();
            break;
        case EventKind::Cancel:
            CancelHistory(context_);
            break;
        case EventKind::GetMode:
            GetMode(context_);
            break;
        case EventKind::ChangeMode:
            ChangeMode(context_);
            break;
        case EventKind::PortOption:
            state_.selectPort(event.value);
            break;
        case EventKind::Save:
            SaveClicked(context_);
            break;
        case EventKind::Data:
            DataReceived(context_);
            reportProgress();
            break;
        case EventKind::LineError:
            LineErrorReported(context_, static_cast<LineError>(event.value));
            reportProgress();
            break;
        case EventKind::PortLost:
            PortLost(context_, event.text);
            break;
        case EventKind::Tick:
            if (event.timerChanges == timer_.changes())
                ResponseTimeout(context_);
            break;
    }
}

// From the first REQUEST on; a mode exchange reports the count of the last upload as it is.
void Controller::reportProgress() {
    if (const std::optional<History>& history = state_.history())
        context_.listener.uploadProgress(std::max(state_.recordIndex(), 0),
                                         static_cast<int32_t>(history->unreadable.size()));
}

}  // namespace qm4250
