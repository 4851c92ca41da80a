#include "options.h"

#include <charconv>
#include <cstddef>
#include <functional>
#include <map>

#include "instrument_clock.h"

namespace sim {

const char* const kHelpText =
    R"(Usage: qm4250-sim [OPTION]...
Plays a QM4250 leak-test instrument on a pseudo-terminal. Prints the device path of the
terminal to open on the first line of standard output, then answers the history command
(STX 1 ETX, then ACK or CAN per record) and the mode commands (STX 8 ETX, STX 9 x ETX).

Instrument:
  --model C             model code character: S Norvik, Q Pellmar, H Dravon Flow, or any (S)
  --serial TEXT         serial number in the identification record (4250117)
  --records N           number of generated test records (250); they end at the local time
                        now, made in two shifts from 06:00 to 22:00, each with a break, a
                        few minutes apart in lots, the line idle at night
  --seed N              seed of the generated records and of the noise (1)
  --start YYYY-MM-DD    the first generated test's day (2004-01-01 to 2072-01-18); the
                        history goes forward from there instead of ending now
  --spacing SECONDS     generated tests exactly SECONDS apart, day and night, instead of in
                        shifts; from midnight with --start, else ending now
  --replay FILE         send these record bodies instead, one per line, each as sent
                        between STX and ETX, kind character included ("1" + seven fields)
  --mode C              operating mode at start: 0 SETUP, 1 CALIBRATE, 2 RUN, 3 DATA (2)
  --test-in-progress    a test is running: mode replies carry test flag 1, no mode change

Line:
  --baud N              pace the bytes sent as 10 bits each at N baud, 0 for no pacing (9600)
  --link PATH           also make a symlink PATH to the device (removed at exit)
  --log FILE            log every byte received and sent, one event per line:
                        "<microseconds since start> rx|tx <hex bytes>", and the events
                        "pause <ms>", "closed" (far end closed the port), "hangup"
  --exit-after-upload   exit once an upload has ended and the far end has closed the port

Faults:
  --pause-after N MS    wait MS milliseconds before sending record N (0 is the
                        identification record, 1 the first test record); repeatable
  --noise RATE          before each frame, with chance RATE (0..1), send 1 to 3 stray bytes;
                        they are any byte except STX and ETX, so they never cost a frame
  --stray-etx           send a stray ETX before every history frame
  --garble N[:KIND]     damage test record N; KIND is fields (drop the relay field, the
                        default), time (time stamp made no number) or relay (relay field made
                        no number); repeatable
  --hangup-after N      close the terminal, like a pulled cable, when the reply to test
                        record N asks for the next one (0: the identification record)
  --help                show this text
  --version             show the version
)";

namespace {

template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc{} && stop == end && !text.empty();
}

bool ReadInt(std::string_view text, int lowest, int highest, int& value) {
    return ReadNumber(text, value) && value >= lowest && value <= highest;
}

// YYYY-MM-DD, a day the instrument's clock holds whole.
bool ReadDate(std::string_view text, std::optional<std::int64_t>& timeStamp) {
    int year = 0;
    int month = 0;
    int day = 0;
    bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-' &&
                  ReadInt(text.substr(0, 4), 2004, 2072, year) &&
                  ReadInt(text.substr(5, 2), 1, 12, month) &&
                  ReadInt(text.substr(8, 2), 1, 31, day);
    timeStamp = shaped ? DateTimeStamp(year, month, day) : std::nullopt;
    return timeStamp && *timeStamp + 86400 <= kLatestTimeStamp;
}

bool IsFrameDelimiter(char c) {
    return c == '\x02' || c == '\x03';
}

bool ReadGarble(std::string_view text, Garble& garble) {
    static const std::map<std::string_view, GarbleKind> kinds{
        {"fields", GarbleKind::kFewerFields},
        {"time", GarbleKind::kBadTime},
        {"relay", GarbleKind::kBadRelay},
    };
    std::size_t colon = text.find(':');
    garble.kind = GarbleKind::kFewerFields;
    if (colon != std::string_view::npos) {
        auto kind = kinds.find(text.substr(colon + 1));
        if (kind == kinds.end())
            return false;
        garble.kind = kind->second;
    }
    return ReadInt(text.substr(0, colon), 1, 1'000'000, garble.record);
}

constexpr int kMaxRecords = 1'000'000;
constexpr int kMaxMilliseconds = 3'600'000;
constexpr int kMaxBaud = 4'000'000;

// Each handler reads its option's values and says whether they were valid.
using Handler = std::function<bool(Options&, const std::vector<std::string_view>&)>;

struct OptionRule {
    int valueCount;
    Handler read;
};

const std::map<std::string_view, OptionRule>& OptionTable() {
    using Values = const std::vector<std::string_view>&;
    static const std::map<std::string_view, OptionRule> table{
        {"--help", {0, [](Options& o, Values) { return o.help = true; }}},
        {"--version", {0, [](Options& o, Values) { return o.version = true; }}},
        {"--model",
         {1,
          [](Options& o, Values v) {
              o.model = v[0].empty() ? '\0' : v[0][0];
              return v[0].size() == 1 && !IsFrameDelimiter(o.model);
          }}},
        {"--serial",
         {1,
          [](Options& o, Values v) {
              o.serial = v[0];
              return o.serial.find_first_of("\x02\x03") == std::string::npos;
          }}},
        {"--records",
         {1, [](Options& o, Values v) { return ReadInt(v[0], 0, kMaxRecords, o.records); }}},
        {"--seed", {1, [](Options& o, Values v) { return ReadNumber(v[0], o.seed); }}},
        {"--start", {1, [](Options& o, Values v) { return ReadDate(v[0], o.start); }}},
        {"--spacing",
         {1,
          [](Options& o, Values v) {
              o.spacing = 0;
              return ReadNumber(v[0], *o.spacing) && *o.spacing >= 1 &&
                     *o.spacing <= kLatestTimeStamp;
          }}},
        {"--replay",
         {1,
          [](Options& o, Values v) {
              o.replayFile = v[0];
              return !v[0].empty();
          }}},
        {"--mode",
         {1,
          [](Options& o, Values v) {
              o.mode = v[0].empty() ? '\0' : v[0][0];
              return v[0].size() == 1 && o.mode >= '0' && o.mode <= '3';
          }}},
        {"--test-in-progress", {0, [](Options& o, Values) { return o.testInProgress = true; }}},
        {"--baud", {1, [](Options& o, Values v) { return ReadInt(v[0], 0, kMaxBaud, o.baud); }}},
        {"--link",
         {1,
          [](Options& o, Values v) {
              o.link = v[0];
              return !v[0].empty();
          }}},
        {"--log",
         {1,
          [](Options& o, Values v) {
              o.logFile = v[0];
              return !v[0].empty();
          }}},
        {"--exit-after-upload", {0, [](Options& o, Values) { return o.exitAfterUpload = true; }}},
        {"--pause-after",
         {2,
          [](Options& o, Values v) {
              Pause pause{};
              bool valid = ReadInt(v[0], 0, kMaxRecords, pause.record) &&
                           ReadInt(v[1], 0, kMaxMilliseconds, pause.milliseconds);
              o.pauses.push_back(pause);
              return valid;
          }}},
        {"--noise",
         {1,
          [](Options& o, Values v) {
              return ReadNumber(v[0], o.noiseRate) && o.noiseRate >= 0.0 && o.noiseRate <= 1.0;
          }}},
        {"--stray-etx", {0, [](Options& o, Values) { return o.strayEtx = true; }}},
        {"--garble",
         {1,
          [](Options& o, Values v) {
              Garble garble{};
              bool valid = ReadGarble(v[0], garble);
              o.garbles.push_back(garble);
              return valid;
          }}},
        {"--hangup-after",
         {1,
          [](Options& o, Values v) {
              int record = 0;
              bool valid = ReadInt(v[0], 0, kMaxRecords, record);
              o.hangupAfter = record;
              return valid;
          }}},
    };
    return table;
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string_view>& args) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size();) {
        std::string_view name = args[i++];
        auto option = OptionTable().find(name);
        if (option == OptionTable().end()) {
            parsed.error = "unknown option " + std::string(name);
            return parsed;
        }
        const OptionRule& rule = option->second;
        if (args.size() - i < static_cast<std::size_t>(rule.valueCount)) {
            parsed.error = std::string(name) + " needs " + std::to_string(rule.valueCount) +
                           (rule.valueCount == 1 ? " value" : " values");
            return parsed;
        }
        std::vector<std::string_view> values(args.begin() + i, args.begin() + i + rule.valueCount);
        i += rule.valueCount;
        if (!rule.read(parsed.options, values)) {
            parsed.error = "bad value for " + std::string(name);
            for (std::string_view value : values)
                parsed.error += " '" + std::string(value) + "'";
            return parsed;
        }
    }
    return parsed;
}

}  // namespace sim
