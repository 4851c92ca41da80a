#include "session/controller.h"

#include "session/history_request.h"
#include "session/operating_mode.h"
#include "session/receive_handler.h"
#include "session/record_counter.h"
#include "session/response_timeout.h"

void Controller::CountingTimer::start() {
    ++changes_;
    timer_.start();
}

void Controller::CountingTimer::stop() {
    ++changes_;
    timer_.stop();
}

Controller::Controller(SerialPort& port, ResponseTimer& timer, View& view)
    : timer_(timer), context_{state_, port, timer_, view} {}

void Controller::setSaveHandler(std::function<void(HandlerContext&)> saveHandler) {
    saveHandler_ = std::move(saveHandler);
}

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
void Controller::commEvent(int eventCode) {
    post(EventKind::Comm, eventCode);
}
void Controller::timerTick() {
    post(EventKind::Tick);
}

void Controller::post(EventKind kind, int value) {
    pending_.push_back({kind, value, timer_.changes()});
    if (running_)
        return;
    running_ = true;
    while (!pending_.empty()) {
        Event event = pending_.front();
        pending_.pop_front();
        run(event);
    }
    running_ = false;
}

void Controller::run(const Event& event) {
    switch (event.kind) {
        case EventKind::Request:
            RequestHistory(context_);
            showRecordCounter();
            break;
        case EventKind::Cancel:
            CancelHistory(state_);
            break;
        case EventKind::GetMode:
            GetMode(context_);
            break;
        case EventKind::ChangeMode:
            ChangeMode(context_);
            break;
        case EventKind::PortOption:
            state_.CommPortNumber = event.value;
            break;
        case EventKind::Save:
            if (saveHandler_)
                saveHandler_(context_);
            break;
        case EventKind::Comm:
            ReceiveHandler(context_, event.value);
            showRecordCounter();
            break;
        case EventKind::Tick:
            if (event.timerChanges == timer_.changes())
                ResponseTimeout(context_);
            break;
    }
}

// Shown from the first REQUEST on; a mode exchange leaves the count of the last upload as it is.
void Controller::showRecordCounter() {
    if (!state_.history)
        return;
    context_.view.setRecordCounter(RecordCounterText(state_.RecordIndex, state_.history->unreadable,
                                                     context_.view.numValuesText()));
}
