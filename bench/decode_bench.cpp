// Cost of decoding one test record in the core alone: ParseHistoryRecord with its list line and
// the kept record, over a realistic spread of records.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "session/history_record.h"
#include "session/view.h"
#include "session/window_state.h"

namespace {

class CountingView : public View {
  public:
    void setStatusText(std::string_view) override {}
    void setRecordCounter(std::string_view) override {}
    void clearList() override {}
    void addListLine(std::string_view line) override { characters += line.size(); }
    void setRelayCaption(std::string_view) override {}
    std::string numValuesText() const override { return {}; }
    void setCurrentModeText(std::string_view) override {}
    ModeOption selectedModeOption() const override { return ModeOption::None; }
    void selectModeOption(ModeOption) override {}
    void setButtonEnabled(Button, bool) override {}
    void showMessage(std::string_view) override {}
    std::string chooseSaveFileName() override { return {}; }
    void setBusyCursor(bool) override {}

    size_t characters = 0;
};

std::vector<std::string> SampleRecords() {
    std::vector<std::string> bodies;
    char body[96];
    for (int k = 0; k < 1000; ++k) {
        std::snprintf(body, sizeof body, "1%d,P%d,CUST%d,0.%d,%s,%d,%d", 100000 + k, k % 10, k % 97,
                      1000 + k, k % 17 == 0 ? "7" : "N", 12345678 + 3607 * k,
                      k % 10 == 0 ? 29 : 12);
        bodies.emplace_back(body);
    }
    return bodies;
}

void BM_DecodeTestRecord(benchmark::State& benchState) {
    std::vector<std::string> bodies = SampleRecords();
    CountingView view;
    WindowState state;
    size_t next = 0;
    for (auto _ : benchState) {
        if (next == 0) {
            benchState.PauseTiming();
            state.history.emplace();
            state.RecordIndex = 0;  // the identification record is behind us
            benchState.ResumeTiming();
        }
        ParseHistoryRecord(bodies[next], state, view);
        next = (next + 1) % bodies.size();
    }
    benchmark::DoNotOptimize(view.characters);
    benchState.SetItemsProcessed(benchState.iterations());
}
BENCHMARK(BM_DecodeTestRecord);

}  // namespace

BENCHMARK_MAIN();
