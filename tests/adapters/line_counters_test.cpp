#include "adapters/line_counters.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QTest>
#include <deque>

#include "adapters/qt_serial_port.h"
#include "pseudo_terminal.h"

using namespace qm4250;

namespace {

struct CountCase {
    const char* name;
    LineCounters before;
    LineCounters after;
    std::vector<LineError> errors;
};

class CountedErrors : public testing::TestWithParam<CountCase> {};

TEST_P(CountedErrors, OneEventForEachKindThatGrew) {
    EXPECT_EQ(CountedLineErrors(GetParam().before, GetParam().after), GetParam().errors);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountedErrors,
    testing::Values(
        CountCase{"Unchanged", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {}},
        CountCase{"OneFramingError", {0, 7, 0, 0, 0}, {0, 8, 0, 0, 0}, {LineError::Framing}},
        CountCase{
            "ManyOfOneKindIsOneEvent", {0, 0, 0, 0, 0}, {0, 0, 40, 0, 0}, {LineError::Parity}},
        CountCase{"EveryKindInItsOrder",
                  {0, 0, 0, 0, 0},
                  {1, 1, 1, 1, 1},
                  {LineError::Break, LineError::Framing, LineError::Parity, LineError::Overrun,
                   LineError::RxOverflow}},
        CountCase{
            "ACountThatWrapped", {0, 0, 0, 0xFFFFFFFF, 0}, {0, 0, 0, 2, 0}, {LineError::Overrun}}),
    [](const testing::TestParamInfo<CountCase>& info) { return info.param.name; });

TEST(KernelLineCounters, APseudoTerminalKeepsNoCounts) {
    PseudoTerminal terminal;
    int fd = open(terminal.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(KernelLineCounters().read(fd));
    close(fd);
    EXPECT_FALSE(KernelLineCounters().read(-1));
}

// Counts a test hands out, one set per read; none once they run out.
class FedCounters : public LineCounterSource {
  public:
    explicit FedCounters(std::deque<std::optional<LineCounters>> counts)
        : counts_(std::move(counts)) {}
    std::optional<LineCounters> read(int) override {
        if (counts_.empty())
            return std::nullopt;
        std::optional<LineCounters> next = counts_.front();
        counts_.pop_front();
        return next;
    }

  private:
    std::deque<std::optional<LineCounters>> counts_;
};

// What the port raises for one arrival, in order: line errors by name, then "data".
std::vector<std::string> RaisedForOneArrival(std::deque<std::optional<LineCounters>> counts) {
    PseudoTerminal terminal;
    QtSerialPort port([&](int) { return terminal.slavePath(); },
                      std::make_unique<FedCounters>(std::move(counts)));
    std::vector<std::string> raised;
    QObject::connect(&port, &QtSerialPort::lineError, [&](LineError error) {
        raised.push_back(error == LineError::Framing ? "framing" : "other error");
    });
    QObject::connect(&port, &QtSerialPort::dataReceived, [&] { raised.push_back("data"); });
    if (!port.selectPort(1) || !port.open())
        return {"not opened"};
    terminal.send("x");
    if (!QTest::qWaitFor([&] { return !raised.empty(); }, 5000))
        return {"nothing raised"};
    return raised;
}

TEST(QtSerialPortCounts, AGrownCountIsRaisedBeforeTheArrival) {
    EXPECT_EQ(RaisedForOneArrival({LineCounters{0, 3, 0, 0, 0}, LineCounters{0, 4, 0, 0, 0}}),
              (std::vector<std::string>{"framing", "data"}));
}

TEST(QtSerialPortCounts, WithoutCountsOnlyTheArrivalIsRaised) {
    EXPECT_EQ(RaisedForOneArrival({std::nullopt, LineCounters{0, 4, 0, 0, 0}}),
              std::vector<std::string>{"data"});
    EXPECT_EQ(RaisedForOneArrival({LineCounters{0, 3, 0, 0, 0}, std::nullopt}),
              std::vector<std::string>{"data"});
}

}  // namespace
