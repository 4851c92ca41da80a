#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// How a garbled test record is damaged; each kind makes the receiver drop the record.
enum class GarbleKind {
    kFewerFields,  // the relay field is left off: six fields instead of seven
    kBadTime,      // the time stamp's last character becomes '?', so it is no number
    kBadRelay,     // the relay field's last character becomes '?'
};

struct Garble {
    int record;  // test record number, from 1
    GarbleKind kind;
};

struct Pause {
    int record;  // 0 is the identification record, 1 the first test record
    int milliseconds;
};

struct Options {
    char model = 'S';
    std::string serial = "4250117";
    int records = 250;
    std::uint64_t seed = 1;
    std::optional<std::int64_t> start;    // the first test's day, as a time stamp of its midnight
    std::optional<std::int64_t> spacing;  // seconds between tests
    std::optional<std::int64_t> end;      // the clock's time now; none: the local time
    std::optional<std::string> replayFile;
    char mode = '2';
    int baud = 9600;  // 0: as fast as possible
    std::vector<Pause> pauses;
    double noiseRate = 0.0;
    bool strayEtx = false;
    std::vector<Garble> garbles;
    std::optional<int> hangupAfter;
    bool testInProgress = false;
    std::optional<std::string> logFile;
    std::optional<std::string> link;
    bool exitAfterUpload = false;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    Options options;
    std::string error;  // empty when the command line was understood
};

// Reads the command line (without the program name).
ParsedOptions ParseOptions(const std::vector<std::string_view>& args);

extern const char* const kHelpText;

}  // namespace sim
