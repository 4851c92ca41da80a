#include "session/receive_handler.h"

#include <optional>
#include <string>

#include "protocol/decimal_text.h"
#include "protocol/frame.h"
#include "protocol/frame_scan.h"
#include "session/handler_context.h"
#include "session/history_record.h"
#include "session/operating_mode.h"

namespace {

const char* LineErrorText(int eventCode) {
    switch (eventCode) {
        case CommEvent::kBreak:
            return "Error - break received";
        case CommEvent::kFramingError:
            return "Error - framing error";
        case CommEvent::kOverrun:
            return "Error - data lost";
        case CommEvent::kRxOverflow:
            return "Error - RX buffer overflow";
        case CommEvent::kParityError:
            return "Error - Parity error";
        case CommEvent::kTxFull:
            return "Error - TX buffer full";
        case CommEvent::kDcbError:
            return "Error - retrieving DCB";
        default:
            return nullptr;
    }
}

void AnswerHistoryFrame(HandlerContext& context) {
    WindowState& state = context.state;
    // The requested count is read afresh after every frame, so an edit takes effect at once.
    if (DecimalEquals(context.view.numValuesText(), state.RecordIndex))
        state.ReplyChar.assign(1, CAN);
    // Before the first REQUEST or CANCEL there is nothing to answer with.
    if (state.ReplyChar.empty())
        return;
    // A failed write (the port already closed, say) is ignored: the timeout ends the exchange.
    context.port.write(state.ReplyChar);
    if (state.ReplyChar == kAckText) {
        context.timer.stop();
        context.timer.start();
    }
}

void ScanForFrame(HandlerContext& context) {
    std::optional<std::string> body = CutFrame(context.state.RxBuffer);
    if (!body || body->empty())
        return;
    if (body->front() == '8') {
        ParseModeReply(*body, context.view);
    } else if (body->front() == '1') {
        ParseHistoryRecord(*body, context.state, context.view);
        AnswerHistoryFrame(context);
    }
}

}  // namespace

void ReceiveHandler(HandlerContext& context, int eventCode) {
    if (eventCode == CommEvent::kRxOverflow) {
        context.view.setStatusText(LineErrorText(eventCode));
        context.port.readAll();
        context.state.RxBuffer.clear();
        return;
    }
    if (const char* lineError = LineErrorText(eventCode)) {
        context.view.setStatusText(lineError);
    } else if (eventCode == CommEvent::kDataReceived) {
        context.state.RxBuffer += context.port.readAll();
        context.state.AwaitingReply = false;
    } else {
        return;
    }
    ScanForFrame(context);
}
