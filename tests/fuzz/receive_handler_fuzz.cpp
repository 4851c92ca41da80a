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
#include "window/presenter.h"

using namespace qm4250;

namespace {

// Keeps every write the core attempts, whether or not the port takes it: a reply is judged by
// what the core tried to send.
class RecordingPort : public FakePort {
  public:
    PortResult write(std::string_view bytes) override {
        attempts.emplace_back(bytes);
        return FakePort::write(bytes);
    }
    std::vector<std::string> attempts;
};

// What the port reports: an arrival (none) or a line error.
constexpr std::optional<LineError> kPortEvents[] = {
    std::nullopt,          LineError::Break,  LineError::Framing, LineError::Overrun,
    LineError::RxOverflow, LineError::Parity, LineError::TxFull,  LineError::Dcb,
};

constexpr std::optional<OperatingMode> kModeOptions[] = {std::nullopt, OperatingMode::SetUp,
                                                         OperatingMode::Calibrate,
                                                         OperatingMode::Run, OperatingMode::Data};

struct Core {
    Core() { controller.portOptionClicked(1); }

    RecordingPort port;
    FakeTimer timer;
    FakeView view;
    Presenter presenter{view, view};
    Controller controller{port, timer, presenter, view};
};

// What the line delivers to the receive handler, with the checks that hold for every delivery.
void Deliver(Core& core, std::optional<LineError> event = std::nullopt) {
    const ExchangeState& state = core.controller.state();
    const size_t pending = core.port.incoming.size();
    const int32_t indexBefore = state.recordIndex();
    core.port.attempts.clear();

    event ? core.controller.lineError(*event) : core.controller.dataReceived();

    FUZZ_CHECK(state.received().size() <= kRxBufferLimit + pending);
    // A history frame advances the index by one; anything else leaves it.
    const int32_t historyFrames = state.recordIndex() - indexBefore;
    FUZZ_CHECK(historyFrames == 0 || historyFrames == 1);
    if (historyFrames == 0) {
        FUZZ_CHECK(core.port.attempts.empty());
        return;
    }
    if (state.reply() == Reply::None) {
        FUZZ_CHECK(core.port.attempts.empty());
        return;
    }
    FUZZ_CHECK(core.port.attempts.size() == 1);
    FUZZ_CHECK(core.port.attempts[0] == std::string(1, state.reply() == Reply::Ack ? ACK : CAN));
}

void Flood(Core& core, InputReader& input) {
    char filler = static_cast<char>(input.byte());
    size_t kilobytes = input.byte() % 160;
    core.port.incoming.append(kilobytes * 1024, filler);
    Deliver(core);
}

void Misc(Core& core, InputReader& input) {
    switch (input.byte() % 6) {
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
        case 5:
            core.controller.portLost("gone");
            FUZZ_CHECK(!core.port.isOpen());
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Core core;
    InputReader input(data, size);
    const ExchangeState& state = core.controller.state();
    bool requested = false;
    int32_t uploadIndex = state.recordIndex();

    while (!input.done()) {
        switch (input.byte() % 9) {
            case 0:
                core.port.incoming.append(input.bytes(input.byte()));
                Deliver(core);
                break;
            case 1:
                Deliver(core, kPortEvents[input.byte() % std::size(kPortEvents)]);
                break;
            case 2:
                // Text that arrives without its notification, picked up by a later one.
                core.port.incoming.append(input.bytes(input.byte()));
                break;
            case 3: {
                const size_t written = core.port.written.size();
                core.controller.requestClicked();
                // A fresh upload only once the command is on the line; a failed port keeps all.
                if (core.port.written.size() > written) {
                    requested = true;
                    FUZZ_CHECK(state.recordIndex() == -1);
                    FUZZ_CHECK(state.received().empty());
                }
                uploadIndex = state.recordIndex();
                break;
            }
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
        FUZZ_CHECK(state.recordIndex() >= uploadIndex);
        uploadIndex = state.recordIndex();
        if (requested)
            FUZZ_CHECK(state.history().has_value());
    }
    return 0;
}
