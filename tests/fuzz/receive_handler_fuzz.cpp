// The whole core driven through the controller by an input that chooses what arrives on the
// line (arbitrary chunks, any event code, floods) and what the operator clicks in between.
#include <string>
#include <utility>
#include <vector>

#include "fakes.h"
#include "fuzz_target.h"
#include "protocol/frame.h"
#include "protocol/frame_scan.h"
#include "session/controller.h"
#include "session/receive_handler.h"

namespace {

// Keeps every write the core attempts, whether or not the port takes it: a reply is judged by
// what the core tried to send.
class RecordingPort : public FakePort {
  public:
    bool write(std::string_view bytes) override {
        attempts.emplace_back(bytes);
        return FakePort::write(bytes);
    }
    std::vector<std::string> attempts;
};

constexpr int kEventCodes[] = {
    CommEvent::kDataReceived,
    CommEvent::kBreak,
    CommEvent::kFramingError,
    CommEvent::kOverrun,
    CommEvent::kRxOverflow,
    CommEvent::kParityError,
    CommEvent::kTxFull,
    CommEvent::kDcbError,
    0,
    3,
    -1,
};

constexpr ModeOption kModeOptions[] = {ModeOption::None, ModeOption::SetUp, ModeOption::Calibrate,
                                       ModeOption::Run, ModeOption::Data};

struct Core {
    Core() { controller.portOptionClicked(1); }

    RecordingPort port;
    FakeTimer timer;
    FakeView view;
    Controller controller{port, timer, view};
};

// What the line delivers to the receive handler, with the checks that hold for every delivery.
void Deliver(Core& core, int eventCode) {
    const WindowState& state = core.controller.state();
    const size_t pending = core.port.incoming.size();
    const int32_t indexBefore = state.RecordIndex;
    core.port.attempts.clear();

    core.controller.commEvent(eventCode);

    FUZZ_CHECK(state.RxBuffer.size() <= kRxBufferLimit + pending);
    // A history frame advances the index by one; anything else leaves it.
    const int32_t historyFrames = state.RecordIndex - indexBefore;
    FUZZ_CHECK(historyFrames == 0 || historyFrames == 1);
    if (historyFrames == 0) {
        FUZZ_CHECK(core.port.attempts.empty());
        return;
    }
    if (state.ReplyChar.empty()) {
        FUZZ_CHECK(core.port.attempts.empty());
        return;
    }
    FUZZ_CHECK(core.port.attempts.size() == 1);
    FUZZ_CHECK(core.port.attempts[0] == state.ReplyChar);
    FUZZ_CHECK(state.ReplyChar == std::string(1, ACK) || state.ReplyChar == std::string(1, CAN));
}

void Flood(Core& core, InputReader& input) {
    char filler = static_cast<char>(input.byte());
    size_t kilobytes = input.byte() % 160;
    core.port.incoming.append(kilobytes * 1024, filler);
    Deliver(core, CommEvent::kDataReceived);
}

void Misc(Core& core, InputReader& input) {
    switch (input.byte() % 5) {
        case 0:
            core.view.numValues = std::to_string(input.byte());
            break;
        case 1:
            core.view.numValues.clear();
            break;
        case 2:
            core.port.failWrite = !core.port.failWrite;
            break;
        case 3:
            core.port.failOpen = !core.port.failOpen;
            break;
        case 4:
            Flood(core, input);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Core core;
    InputReader input(data, size);
    const WindowState& state = core.controller.state();
    bool requested = false;
    int32_t uploadIndex = state.RecordIndex;

    while (!input.done()) {
        switch (input.byte() % 9) {
            case 0:
                core.port.incoming.append(input.bytes(input.byte()));
                Deliver(core, CommEvent::kDataReceived);
                break;
            case 1:
                Deliver(core, kEventCodes[input.byte() % std::size(kEventCodes)]);
                break;
            case 2:
                // Text that arrives without its notification, picked up by a later one.
                core.port.incoming.append(input.bytes(input.byte()));
                break;
            case 3:
                core.controller.requestClicked();
                requested = true;
                FUZZ_CHECK(state.RecordIndex == -1);
                FUZZ_CHECK(state.RxBuffer.empty());
                uploadIndex = state.RecordIndex;
                break;
            case 4:
                core.controller.cancelClicked();
                break;
            case 5:
                core.controller.getModeClicked();
                break;
            case 6:
                core.view.modeOption = kModeOptions[input.byte() % std::size(kModeOptions)];
                core.controller.changeModeClicked();
                break;
            case 7:
                core.controller.timerTick();
                break;
            case 8:
                Misc(core, input);
                break;
        }
        FUZZ_CHECK(state.RecordIndex >= uploadIndex);
        uploadIndex = state.RecordIndex;
        if (requested)
            FUZZ_CHECK(state.history.has_value());
    }
    return 0;
}
