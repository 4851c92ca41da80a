#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "protocol/history.h"
#include "protocol/history_decoding.h"
#include "session/session_events.h"

namespace qm4250 {

// How the next history frame is answered.
enum class Reply { None, Ack, Can };

// The state the handlers share, with its rules kept here: REQUEST starts a fresh history and
// counter, a history frame advances the counter whether or not it decodes, and received text
// waits in a bounded buffer until it holds a whole frame.
class ExchangeState {
  public:
    // -1 after REQUEST, 0 after the identification record, k after the k-th test record (decoded
    // or not). 32-bit, so a history of more than 32,767 records is received whole.
    int32_t recordIndex() const { return recordIndex_; }
    // None until the first REQUEST.
    const std::optional<History>& history() const { return history_; }
    Reply reply() const { return reply_; }
    int portNumber() const { return portNumber_; }
    // True from a command frame's write until the next arrival of text or the next timeout.
    bool awaitingReply() const { return awaitingReply_; }
    const std::string& received() const { return received_; }

    void selectPort(int portNumber) { portNumber_ = portNumber; }
    void startUpload();
    void startModeExchange() {
        received_.clear();
        uploading_ = false;
    }
    // Whether the exchange under way (or the last one) is a history upload.
    bool uploading() const { return uploading_; }
    void cancel() { reply_ = Reply::Can; }
    // A command frame is on the line: the exchange starts answering it.
    void commandSent();
    // Bytes received since the last command frame went out, frame or not.
    int64_t bytesReceived() const { return bytesReceived_; }
    // The device went away; true the first time in an exchange.
    bool loseLine() { return !std::exchange(lineLost_, true); }
    // Clears awaitingReply and says how the exchange ended: the device lost, nothing received
    // since the command, or answered.
    ExchangeEnd endExchange();

    void receive(std::string_view bytes);
    void discardReceived() { received_.clear(); }
    // The body of the first whole frame received, cut out with everything before it.
    std::optional<std::string> cutFrame();

    // Advances the counter for a history frame and says which kind it is; none once the 32-bit
    // counter has reached its end, where frames are answered but no longer decoded.
    std::optional<HistoryFrameKind> nextHistoryFrame();
    // Before the first REQUEST there is no history: what arrives is shown but not kept.
    void keep(Identification identification);
    void keep(TestRecord record);
    void keep(Unreadable frame);
    // The operator's count is reached: the frame is answered with CAN.
    void lastRequestedFrame() { reply_ = Reply::Can; }

  private:
    int32_t recordIndex_ = 0;
    std::optional<History> history_;
    Reply reply_ = Reply::None;
    int portNumber_ = 0;
    bool awaitingReply_ = false;
    bool lineLost_ = false;
    int64_t bytesReceived_ = 0;
    bool uploading_ = false;
    std::string received_;
};

}  // namespace qm4250
