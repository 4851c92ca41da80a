#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "session/exchange_state.h"
#include "session/handler_context.h"
#include "session/operator_input.h"
#include "session/response_timer.h"
#include "session/serial_port.h"
#include "session/session_events.h"
#include "session/session_listener.h"

namespace qm4250 {

// Owns the exchange state and runs every handler, one at a time. An event that arrives while a
// handler runs (a serial notification or a timer tick while the listener shows a modal message
// box) is held and run after that handler returns, in the order of arrival: handlers never
// interleave.
class Controller {
  public:
    Controller(SerialPort& port, ResponseTimer& timer, SessionListener& listener,
               OperatorInput& input);
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    const ExchangeState& state() const { return state_; }

    void requestClicked();
    void cancelClicked();
    void getModeClicked();
    void changeModeClicked();
    void portOptionClicked(int portNumber);
    void saveClicked();
    void dataReceived();
    void lineError(LineError error);
    void portLost(std::string reason);
    void timerTick();

  private:
    // Counts every start and stop, so a tick that was held while the timer was restarted or
    // stopped is known to be stale and is dropped.
    class CountingTimer : public ResponseTimer {
      public:
        explicit CountingTimer(ResponseTimer& timer) : timer_(timer) {}
        void start() override;
        void stop() override;
        uint64_t changes() const { return changes_; }

      private:
        ResponseTimer& timer_;
        uint64_t changes_ = 0;
    };

    enum class EventKind {
        Request,
        Cancel,
        GetMode,
        ChangeMode,
        PortOption,
        Save,
        Data,
        LineError,
        PortLost,
        Tick
    };
    struct Event {
        EventKind kind;
        int value;
        std::string text;
        uint64_t timerChanges;
    };

    void post(EventKind kind, int value = 0, std::string text = {});
    void run(const Event& event);
    void reportProgress();

    ExchangeState state_;
    CountingTimer timer_;
    HandlerContext context_;
    std::deque<Event> pending_;
    bool running_ = false;
};

}  // namespace qm4250
