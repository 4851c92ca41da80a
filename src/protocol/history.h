#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// One stored test. Its texts are kept one after another in a single string, so a long history
// costs one allocation per record, and each comes back whole, whatever bytes it holds.
class TestRecord {
  public:
    struct Fields {
        std::string_view seq;
        std::string_view pn;
        std::string_view custCode;
        std::string_view leak;        // as received; never converted to a number
        std::string_view errorCode;   // as received; exactly "N" means no error
        int32_t seconds;              // since 2004-01-01 00:00:00 on the instrument's clock
        std::string_view timeDate;    // those seconds as "MMM dd/YY HH:MM:SS"
        std::string_view relayField;  // as received
        int16_t relays;               // the relay field's value
    };

    explicit TestRecord(const Fields& fields);

    std::string_view seq() const { return text(0); }
    std::string_view pn() const { return text(1); }
    std::string_view custCode() const { return text(2); }
    std::string_view leak() const { return text(3); }
    std::string_view errorCode() const { return text(4); }
    int32_t seconds() const { return seconds_; }
    std::string_view timeDate() const { return text(5); }
    std::string_view relayField() const { return text(6); }
    int16_t relays() const { return relays_; }

  private:
    static constexpr int kTexts = 7;

    std::string_view text(int index) const;

    std::string texts_;
    std::array<uint32_t, kTexts> ends_;
    int32_t seconds_;
    int16_t relays_;
};

struct History {
    std::optional<Identification> identification;
    std::vector<TestRecord> records;      // in arrival order
    std::vector<std::string> unreadable;  // the frames that could not be decoded, as received
};

// The error column: empty for "N", otherwise "*" and the code ("*" alone for an empty code).
std::string ErrorText(std::string_view errorCode);
std::string ErrorText(const TestRecord& record);

// The power-up marker (bit 0) and the result relays (bits 2, 3 and 4: GP, BP or -Rej, GE or
// +Rej). A negative relay field has none of them set.
bool PowerUp(const TestRecord& record);
bool RelayOn(const TestRecord& record, int bit);

// The instrument models: S Norvik, Q Pellmar, H Dravon Flow. Any other code is its own name, and
// any other name its own code.
std::string ModelNameOf(const std::string& modelCode);
std::string ModelCodeOf(const std::string& modelName);

// The Pellmar model names its second and third relays -Rej and +Rej.
bool IsPellmar(const Identification& identification);

}  // namespace qm4250
