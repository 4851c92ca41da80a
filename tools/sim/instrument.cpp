#include "instrument.h"

#include <utility>

#include "control_bytes.h"

namespace sim {

InstrumentSettings SettingsFrom(const Options& options) {
    return {options.mode, options.testInProgress, options.pauses, options.hangupAfter};
}

Instrument::Instrument(History history, InstrumentSettings settings, LineFaults faults)
    : history_(std::move(history)), settings_(std::move(settings)), faults_(std::move(faults)) {}

std::vector<Action> Instrument::Receive(std::string_view bytes) {
    std::vector<Action> actions;
    for (char byte : bytes) {
        std::optional<ScanEvent> event = scanner_.Push(byte);
        if (!event)
            continue;
        if (auto* frame = std::get_if<FramedBody>(&*event))
            OnFrame(frame->body, actions);
        else
            OnLooseByte(std::get<LooseByte>(*event).byte, actions);
    }
    return actions;
}

void Instrument::LineDropped() {
    scanner_.Reset();
    awaitingReplyTo_.reset();
}

void Instrument::OnFrame(std::string_view body, std::vector<Action>& actions) {
    if (body.empty())
        return;
    switch (body[0]) {
        case '1':
            ++uploadsStarted_;
            SendHistoryFrame(0, actions);
            break;
        case '8':
            SendModeReply(actions);
            break;
        case '9':
            ChangeMode(body.size() > 1 ? body[1] : '\0');
            SendModeReply(actions);
            break;
        default:
            break;
    }
}

void Instrument::OnLooseByte(char byte, std::vector<Action>& actions) {
    if (!awaitingReplyTo_ || (byte != kAck && byte != kCan))
        return;
    int answered = *awaitingReplyTo_;
    awaitingReplyTo_.reset();
    if (byte == kCan)
        return;
    if (settings_.hangupAfter == answered) {
        actions.push_back(Action::HangUp());
        return;
    }
    if (static_cast<std::size_t>(answered) < history_.records.size())
        SendHistoryFrame(answered + 1, actions);
}

void Instrument::SendHistoryFrame(int record, std::vector<Action>& actions) {
    for (const Pause& pause : settings_.pauses) {
        if (pause.record == record)
            actions.push_back(Action::Wait(pause.milliseconds));
    }
    const std::string& body = record == 0 ? history_.identification : history_.records[record - 1];
    actions.push_back(Action::Send(faults_.Frame(body, FrameKind::kHistory)));
    awaitingReplyTo_ = record;
}

void Instrument::SendModeReply(std::vector<Action>& actions) {
    std::string body{'8', settings_.mode, settings_.testInProgress ? '1' : '0'};
    actions.push_back(Action::Send(faults_.Frame(body, FrameKind::kModeReply)));
}

void Instrument::ChangeMode(char mode) {
    if (!settings_.testInProgress && mode >= '0' && mode <= '3')
        settings_.mode = mode;
}

}  // namespace sim
