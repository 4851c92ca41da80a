// The archive's speed: archiving a 32,767-record upload (new, then again with nothing new) on
// SQLite and, given the URL of an empty database, on PostgreSQL, each the median of 5 runs into an
// empty archive; importing the .xls of that upload; and, on a SQLite archive of 1,000,000 tests (30
// instruments over 3 years, made here), selecting by PN and date range and exporting 100,000
// selected tests to .xlsx. Prints key=value lines. The last run's archives stay, for
// bench/archive_anchors.sh to archive the same rows with the engines' own tools.
//   archive_bench FOLDER [POSTGRES_URL]
#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "archive/archive_location.h"
#include "archive/archive_sheet_file.h"
#include "archive/test_selection.h"
#include "archive/upload_archive.h"
#include "bench_history.h"
#include "empty_archive.h"
#include "export/save_history_workbook.h"

using namespace qm4250;

namespace {

constexpr int kUploadRecords = 32767;
constexpr int kInstruments = 30;
constexpr int kArchiveTests = 1000000;
constexpr int kArchiveRuns = 5;

double MillisecondsOf(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

ArchiveResult Store(const ArchiveLocation& location, const History& history) {
    return StoreUpload(location,
                       {history, "bench", static_cast<int32_t>(history.records.size() + 1),
                        QDateTime::currentDateTimeUtc()});
}

bool Fail(const char* what, const std::optional<ArchiveError>& why) {
    std::fprintf(stderr, "archive_bench: %s: %s\n", what,
                 why ? ArchiveErrorText(*why).toStdString().c_str() : "wrong figures");
    return false;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool ArchiveUpload(const std::string& engine, const ArchiveLocation& location) {
    History upload = InstrumentHistory(0, kUploadRecords, 1);
    std::vector<double> firstMs, againMs;
    for (int run = 0; run < kArchiveRuns; ++run) {
        if (!EmptyArchive(location, run > 0))
            return Fail("an empty archive (a PostgreSQL one must be empty at the start)",
                        std::nullopt);
        ArchiveResult first, again;
        firstMs.push_back(MillisecondsOf([&] { first = Store(location, upload); }));
        againMs.push_back(MillisecondsOf([&] { again = Store(location, upload); }));
        if (!first.written() || !again.written() || first.newTests != kUploadRecords ||
            again.newTests != 0)
            return Fail("archiving", first.error ? first.error : again.error);
    }
    std::printf("%s_archive_ms=%.1f\n%s_archive_again_ms=%.1f\n", engine.c_str(), Median(firstMs),
                engine.c_str(), Median(againMs));
    return true;
}

bool ImportXls(const QString& folder) {
    std::string workbook = (folder + "/upload.xls").toStdString();
    if (!SaveHistory(InstrumentHistory(1, kUploadRecords, 1), workbook).ok())
        return Fail("saving the .xls", std::nullopt);
    ArchiveLocation location;
    location.path = folder + "/import.sqlite";
    SheetArchiveResult result;
    double ms = MillisecondsOf(
        [&] { result = ArchiveSheetFile(workbook, location, QDateTime::currentDateTimeUtc()); });
    if (result.newTests != kUploadRecords)
        return Fail("importing", result.archiveError);
    std::printf("import_xls_ms=%.1f\n", ms);
    return true;
}

bool MillionTests(const QString& folder) {
    ArchiveLocation location;
    location.path = folder + "/million.sqlite";
    int perInstrument = kArchiveTests / kInstruments;
    for (int instrument = 0; instrument < kInstruments; ++instrument) {
        int count = perInstrument + (instrument < kArchiveTests % kInstruments ? 1 : 0);
        ArchiveResult made = Store(location, InstrumentHistory(instrument, count, 1));
        if (!made.written())
            return Fail("making the archive", made.error);
    }
    TestFilter month;
    month.pns = {"PN3"};
    month.from = QDate(2022, 6, 1);
    month.to = QDate(2022, 6, 30);
    Result<std::vector<History>, ArchiveError> selected = std::vector<History>();
    double selectMs = MillisecondsOf([&] { selected = SelectTests(location, month); });
    if (!selected)
        return Fail("selecting", selected.error());
    TestFilter tenth;
    tenth.pns = {"PN5"};
    Result<std::vector<History>, ArchiveError> large = std::vector<History>();
    std::string xlsx = (folder + "/selection.xlsx").toStdString();
    SaveResult saved;
    double exportMs = MillisecondsOf([&] {
        large = SelectTests(location, tenth);
        if (large)
            saved = SaveHistories(large.value(), xlsx);
    });
    if (!saved)
        return Fail("exporting", std::nullopt);
    std::printf("million_select_ms=%.1f\nmillion_select_tests=%zu\n", selectMs,
                TestCount(selected.value()));
    std::printf("million_export_ms=%.1f\nmillion_export_tests=%zu\n", exportMs,
                TestCount(large.value()));
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: archive_bench FOLDER [POSTGRES_URL]\n", stderr);
        return 2;
    }
    QString folder = argv[1];
    ArchiveLocation sqlite;
    sqlite.path = folder + "/upload.sqlite";
    bool ok = ArchiveUpload("sqlite", sqlite);
    if (argc > 2) {
        std::optional<ArchiveLocation> postgres = ParseArchiveLocation(argv[2]);
        ok = postgres && ArchiveUpload("postgres", *postgres) && ok;
    }
    ok = ImportXls(folder) && ok;
    ok = MillionTests(folder) && ok;
    return ok ? 0 : 1;
}
