// Any uploaded history through each writer and back through the matching reader: the same
// instrument and the same tests come back, field for field, with their relays and power-ups. The
// input is the history frames' texts separated by LF, as in export_fuzz. Tests time-stamped before
// 2004, outside the instrument's clock, are skipped for that reason instead. Saved beside a second
// instrument's, each history comes back under its own instrument.
#include <algorithm>
#include <string>

#include "export/save_history_workbook.h"
#include "fuzz_target.h"
#include "history_rows.h"
#include "scratch_file.h"
#include "sheet_read_back.h"

using namespace qm4250;

namespace {

// A test as its sheet row shows it: the texts, and the bits the relay cells and marker carry.
std::string Shown(const TestRecord& test) {
    std::string shown = RowText(test);
    shown.resize(shown.size() - test.relayField().size());
    for (int bit : {0, 2, 3, 4})
        shown += RelayOn(test, bit) ? '1' : '0';
    return shown;
}

bool SameTests(const History& a, const History& b) {
    return a.records.size() == b.records.size() &&
           std::equal(
               a.records.begin(), a.records.end(), b.records.begin(),
               [](const TestRecord& x, const TestRecord& y) { return Shown(x) == Shown(y); });
}

bool SameInstrument(const History& a, const History& b) {
    if (!a.identification || !b.identification)
        return !a.identification && !b.identification;
    return RowText(*a.identification) == RowText(*b.identification);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile files[] = {ScratchFile(".xls"), ScratchFile(".xlsx"), ScratchFile(".csv")};
    InputReader input(data, size);
    History history = HistoryOf(SplitLines(input.rest()));
    History kept = history;
    std::erase_if(kept.records, [](const TestRecord& test) { return test.seconds() < 0; });
    History other = kept;
    other.identification = Identification{"other", "S", "Norvik"};
    if (history.identification)
        other.identification->serial += history.identification->serial;
    for (const ScratchFile& file : files) {
        if (!SaveHistory(history, file.path()).ok())
            continue;
        ReadBack back = ReadHistoryFile(file.path());
        FUZZ_CHECK(!back.error && back.isHistorySheet);
        FUZZ_CHECK(back.rowsSkipped == history.records.size() - kept.records.size());
        for (const SkippedRow& skipped : back.skipped)
            FUZZ_CHECK(skipped.reason == SkipReason::OutsideClock);
        FUZZ_CHECK(SameInstrument(back.history, kept));
        FUZZ_CHECK(SameTests(back.history, kept));
        if (!kept.identification || !SaveHistories({kept, other}, file.path()).ok())
            continue;
        back = ReadHistoryFile(file.path());
        FUZZ_CHECK(!back.error && back.rowsSkipped == 0 && back.histories.size() == 2);
        for (size_t k = 0; k < 2; ++k) {
            const History& saved = k == 0 ? kept : other;
            FUZZ_CHECK(SameInstrument(back.histories[k], saved));
            FUZZ_CHECK(SameTests(back.histories[k], saved));
        }
    }
    return 0;
}
