// Archivers at once on one PostgreSQL archive: ARCHIVERS threads, each archiving one upload of
// TESTS tests of an instrument of its own, all let go together into an empty archive whose schema
// was made before the clock starts (as \copy's target has it). The wall time runs from the first
// archiver's start to the last one's end; the median of 3 runs, the archive emptied between them.
// Prints key=value lines named concurrentARCHIVERS_…; the last run's tests stay, for
// bench/psql_copy_anchor.sh to load the same rows with one psql \copy.
//   concurrent_archive_bench POSTGRES_URL ARCHIVERS TESTS   (the URL of an empty database)
#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <latch>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/schema.h"
#include "archive/upload_archive.h"
#include "bench_history.h"
#include "empty_archive.h"
#include "stats.h"

using namespace qm4250;

namespace {

constexpr int kRuns = 3;

using Clock = std::chrono::steady_clock;

// One archiver's upload, and what became of it.
struct Archiver {
    History upload;
    ArchiveResult result;
    Clock::time_point start;
    Clock::time_point end;
};

// The schema is made before the clock starts: the first archiver would make it while the others
// wait on its lock, which an archive in use never does.
bool MakeSchema(const ArchiveLocation& location) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    return connection.isOpen() && MigrateSchema(connection).ok();
}

// Lets every archiver go at once and waits for the last; the wall time in milliseconds.
double ArchiveAtOnce(const ArchiveLocation& location, std::vector<Archiver>& archivers) {
    std::latch ready(static_cast<std::ptrdiff_t>(archivers.size()));
    std::vector<std::jthread> threads;
    for (Archiver& archiver : archivers)
        threads.emplace_back([&] {
            ready.arrive_and_wait();
            archiver.start = Clock::now();
            archiver.result =
                StoreUpload(location, {archiver.upload, "bench",
                                       static_cast<int32_t>(archiver.upload.records.size() + 1),
                                       QDateTime::currentDateTimeUtc()});
            archiver.end = Clock::now();
        });
    threads.clear();
    auto first = std::min_element(archivers.begin(), archivers.end(),
                                  [](auto& a, auto& b) { return a.start < b.start; });
    auto last = std::max_element(archivers.begin(), archivers.end(),
                                 [](auto& a, auto& b) { return a.end < b.end; });
    return std::chrono::duration<double, std::milli>(last->end - first->start).count();
}

// Whether every archiver wrote all its tests as new; says why not.
bool AllWritten(const std::vector<Archiver>& archivers) {
    for (const Archiver& archiver : archivers) {
        const ArchiveResult& result = archiver.result;
        if (result.written() && result.newTests == static_cast<int>(archiver.upload.records.size()))
            continue;
        std::fprintf(stderr, "concurrent_archive_bench: instrument %s: %s\n",
                     archiver.upload.identification->serial.c_str(),
                     result.error ? ArchiveErrorText(*result.error).toStdString().c_str()
                                  : ("new tests: " + std::to_string(result.newTests)).c_str());
        return false;
    }
    return true;
}

// A count given on the command line; 0 when it is none.
int Count(const char* text) {
    bool ok = false;
    int count = QByteArray(text).toInt(&ok);
    return ok && count > 0 ? count : 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::optional<ArchiveLocation> location =
        argc == 4 ? ParseArchiveLocation(argv[1]) : std::nullopt;
    int archiverCount = argc == 4 ? Count(argv[2]) : 0;
    int tests = argc == 4 ? Count(argv[3]) : 0;
    if (!location || location->engine != ArchiveLocation::Engine::Postgres || archiverCount == 0 ||
        tests == 0) {
        std::fputs("usage: concurrent_archive_bench POSTGRES_URL ARCHIVERS TESTS\n", stderr);
        return 2;
    }
    std::vector<Archiver> archivers(static_cast<size_t>(archiverCount));
    for (int k = 0; k < archiverCount; ++k)
        archivers[static_cast<size_t>(k)].upload = InstrumentHistory(k, tests, 1);
    std::vector<double> wallMs;
    for (int run = 0; run < kRuns; ++run) {
        if (!EmptyArchive(*location, run > 0) || !MakeSchema(*location)) {
            std::fputs("concurrent_archive_bench: the archive is not empty or cannot be made\n",
                       stderr);
            return 1;
        }
        wallMs.push_back(ArchiveAtOnce(*location, archivers));
        if (!AllWritten(archivers))
            return 1;
    }
    double median = Quantile(wallMs, 0.5);
    double total = double(archiverCount) * tests;
    std::printf(
        "concurrent%d_tests=%.0f\nconcurrent%d_wall_ms=%.1f\nconcurrent%d_tests_per_s=%.0f\n",
        archiverCount, total, archiverCount, median, archiverCount, total * 1000 / median);
    return 0;
}
