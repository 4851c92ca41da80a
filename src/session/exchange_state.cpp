#include "session/exchange_state.h"

#include <utility>

#include "protocol/frame_scan.h"

namespace qm4250 {

void ExchangeState::startUpload() {
    history_.emplace();
    recordIndex_ = -1;
    reply_ = Reply::Ack;
    received_.clear();
    uploading_ = true;
}

void ExchangeState::commandSent() {
    awaitingReply_ = true;
    lineLost_ = false;
    bytesReceived_ = 0;
}

ExchangeEnd ExchangeState::endExchange() {
    bool unanswered = std::exchange(awaitingReply_, false);
    if (std::exchange(lineLost_, false))
        return ExchangeEnd::PortLost;
    return unanswered ? ExchangeEnd::NoResponse : ExchangeEnd::Answered;
}

void ExchangeState::receive(std::string_view bytes) {
    received_ += bytes;
    bytesReceived_ += static_cast<int64_t>(bytes.size());
    awaitingReply_ = false;
}

std::optional<std::string> ExchangeState::cutFrame() {
    return CutFrame(received_);
}

std::optional<HistoryFrameKind> ExchangeState::nextHistoryFrame() {
    if (recordIndex_ == INT32_MAX)
        return std::nullopt;
    ++recordIndex_;
    return recordIndex_ == 0 ? HistoryFrameKind::Identification : HistoryFrameKind::TestRecord;
}

void ExchangeState::keep(Identification identification) {
    if (history_)
        history_->identification = std::move(identification);
}

void ExchangeState::keep(TestRecord record) {
    if (history_)
        history_->records.push_back(std::move(record));
}

void ExchangeState::keep(Unreadable frame) {
    if (history_)
        history_->unreadable.push_back(std::move(frame.frameText));
}

}  // namespace qm4250
