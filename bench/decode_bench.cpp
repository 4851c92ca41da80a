// Cost of decoding one test record without the window: the decoding, its list line and keeping
// the record in the history, over a realistic spread of records.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "protocol/history_decoding.h"
#include "window/list_lines.h"

using namespace qm4250;

namespace {

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
    History history;
    size_t characters = 0;
    size_t next = 0;
    for (auto _ : benchState) {
        if (next == 0) {
            benchState.PauseTiming();
            history = History{};
            benchState.ResumeTiming();
        }
        DecodedFrame frame = DecodeHistoryFrame(bodies[next], HistoryFrameKind::TestRecord);
        if (auto* record = std::get_if<TestRecord>(&frame)) {
            characters += ListLine(*record).size();
            history.records.push_back(std::move(*record));
        }
        next = (next + 1) % bodies.size();
    }
    benchmark::DoNotOptimize(characters);
    benchState.SetItemsProcessed(benchState.iterations());
}
BENCHMARK(BM_DecodeTestRecord);

}  // namespace

BENCHMARK_MAIN();
