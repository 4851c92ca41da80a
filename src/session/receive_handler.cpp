#include "session/receive_handler.h"

#include <optional>
#include <string>
#include <variant>

#include "protocol/decimal_text.h"
#include "protocol/frame.h"
#include "protocol/history_decoding.h"
#include "session/handler_context.h"
#include "session/operating_mode.h"

namespace qm4250 {

namespace {

struct Keep {
    HandlerContext& context;

    void operator()(Identification&& identification) {
        context.listener.identificationDecoded(identification);
        context.state.keep(std::move(identification));
    }
    void operator()(TestRecord&& record) {
        context.listener.recordDecoded(record);
        context.state.keep(std::move(record));
    }
    void operator()(Unreadable&& frame) {
        context.state.keep(std::move(frame));
        context.listener.recordUnreadable();
    }
};

void ParseHistoryRecord(std::string_view frameText, HandlerContext& context) {
    if (std::optional<HistoryFrameKind> kind = context.state.nextHistoryFrame())
        std::visit(Keep{context}, DecodeHistoryFrame(frameText, *kind));
}

void AnswerHistoryFrame(HandlerContext& context) {
    ExchangeState& state = context.state;
    if (DecimalEquals(context.input.requestedCount(), state.recordIndex()))
        state.lastRequestedFrame();
    // Before the first REQUEST or CANCEL there is nothing to answer with.
    if (state.reply() == Reply::None)
        return;
    // A failed write (the port already closed, say) is ignored: the timeout ends the exchange.
    static_cast<void>(context.port.write(state.reply() == Reply::Ack ? kAckText : kCanText));
    if (state.reply() == Reply::Ack) {
        context.timer.stop();
        context.timer.start();
    }
}

void ScanForFrame(HandlerContext& context) {
    std::optional<std::string> body = context.state.cutFrame();
    if (!body || body->empty())
        return;
    if (body->front() == '8') {
        ParseModeReply(*body, context);
    } else if (body->front() == '1') {
        ParseHistoryRecord(*body, context);
        AnswerHistoryFrame(context);
    }
}

}  // namespace

void DataReceived(HandlerContext& context) {
    context.state.receive(context.port.readAll());
    ScanForFrame(context);
}

void LineErrorReported(HandlerContext& context, LineError error) {
    context.listener.lineError(error);
    if (error == LineError::RxOverflow) {
        context.port.readAll();
        context.state.discardReceived();
        return;
    }
    ScanForFrame(context);
}

void PortLost(HandlerContext& context, const std::string& reason) {
    context.port.close();
    if (context.state.loseLine())
        context.listener.portLost(reason);
}

}  // namespace qm4250
