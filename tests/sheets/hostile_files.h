#pragma once

// Reading hostile files in the tests: every reader's outcome as one comparable line, and a child
// process that reads under a memory limit, so that a reader running away fails its case instead
// of taking the test program (or the machine) with it.

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "child_process.h"
#include "sheets/sheet_rows.h"

namespace qm4250 {

// The address space a reader may use for a file of a few hundred bytes. AddressSanitizer maps
// terabytes of shadow memory, so there the limit is left to the sanitizer's own checks.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr rlim_t kReadBudget = RLIM_INFINITY;
#else
inline constexpr rlim_t kReadBudget = rlim_t{512} << 20;
#endif

// Counts the rows a reader hands on and remembers the first few, joined by ";", each sheet's
// after its name in brackets.
class CollectedRows : public SheetRows {
  public:
    bool sheet(std::string_view name) override {
        if (!name.empty() && shown_.size() < 1000)
            shown_ += "[" + std::string(name) + "] ";
        return true;
    }
    bool row(uint64_t number, const SheetRow& cells) override {
        ++rows_;
        if (shown_.size() < 1000) {
            shown_ += std::to_string(number) + ":";
            for (const std::string& cell : cells)
                shown_ += cell + ";";
            shown_ += " ";
        }
        return true;
    }
    bool rowTooLong(uint64_t number) override {
        shown_ += std::to_string(number) + ":too long ";
        return true;
    }
    uint64_t rows() const { return rows_; }
    const std::string& shown() const { return shown_; }

  private:
    uint64_t rows_ = 0;
    std::string shown_;
};

// "read" or the error's kind and detail, as a test compares them.
inline std::string OutcomeText(const SheetReadResult& result) {
    if (!result)
        return "read";
    static const char* const kKinds[] = {"cannot open", "not a file",  "unreadable",
                                         "damaged",     "unsupported", "too large"};
    return std::string(kKinds[static_cast<int>(result->kind)]) + ": " + result->detail;
}

// Runs `read` in a child process under the read budget and a 30 s alarm: "<rows> rows, <outcome>",
// and with `showRows` " | " and the first rows as CollectedRows shows them; or "no outcome" when
// the child died (a crash, memory exhausted, the alarm).
inline std::string ReadBounded(const std::function<SheetReadResult(SheetRows&)>& read,
                               bool showRows = false) {
    std::string outcome = InAChildProcess([&] {
        rlimit limit{kReadBudget, kReadBudget};
        setrlimit(RLIMIT_AS, &limit);
        alarm(30);
        CollectedRows rows;
        SheetReadResult result = read(rows);
        return std::to_string(rows.rows()) + " rows, " + OutcomeText(result) +
               (showRows ? " | " + rows.shown().substr(0, 300) : "");
    });
    return outcome.empty() ? "no outcome" : outcome;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace qm4250
