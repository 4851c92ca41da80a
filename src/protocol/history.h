#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm4250 {

// An uploaded history as the instrument sent it. Every text is the received bytes, one byte a
// character, kept whole: a field may hold any byte but ",", ";" included.

// The first frame of an upload: which instrument this is.
struct Identification {
    std::string serial;     // may be empty
    std::string modelCode;  // one character, or empty when the frame's field was empty
    std::string modelName;  // Norvik, Pellmar, Dravon Flow, or the code itself
};

// One stored test.
struct TestRecord {
    std::string seq;
    std::string pn;
    std::string custCode;
    std::string leak;        // as received; never converted to a number
    std::string errorCode;   // as received; exactly "N" means no error
    int32_t seconds = 0;     // since 2004-01-01 00:00:00 on the instrument's clock
    std::string timeDate;    // those seconds as "MMM dd/YY HH:MM:SS"
    std::string relayField;  // as received
    int16_t relays = 0;      // the relay field's value
};

struct History {
    std::optional<Identification> identification;
    std::vector<TestRecord> records;  // in arrival order
    int32_t unreadable = 0;           // history frames that could not be decoded
};

// The error column: empty for "N", otherwise "*" and the code ("*" alone for an empty code).
std::string ErrorText(const TestRecord& record);

// The power-up marker (bit 0) and the result relays (bits 2, 3 and 4: GP, BP or -Rej, GE or
// +Rej). A negative relay field has none of them set.
bool PowerUp(const TestRecord& record);
bool RelayOn(const TestRecord& record, int bit);

// The Pellmar model names its second and third relays -Rej and +Rej.
bool IsPellmar(const Identification& identification);

}  // namespace qm4250
