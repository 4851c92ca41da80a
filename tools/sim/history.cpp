#include "history.h"

#include <fstream>

#include "garble.h"
#include "instrument_clock.h"
#include "record_generator.h"

namespace sim {

std::string IdentificationBody(char model, std::string_view serial) {
    std::string body = "1";
    body += model;
    body += serial;
    return body;
}

LoadedHistory LoadReplayFile(const std::string& path) {
    LoadedHistory loaded;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        loaded.error = "cannot read " + path;
        return loaded;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_of("\x02\x03") != std::string::npos) {
            loaded.error = path + ":" + std::to_string(number) + ": STX or ETX inside a body";
            return loaded;
        }
        loaded.history.records.push_back(line);
    }
    return loaded;
}

LoadedHistory BuildHistory(const Options& options) {
    LoadedHistory loaded;
    if (options.replayFile) {
        loaded = LoadReplayFile(*options.replayFile);
        if (!loaded.error.empty())
            return loaded;
    } else {
        Timing timing{options.end.value_or(LocalClockNow()), options.start, options.spacing};
        loaded.error = TimingRefusal(options.records, timing);
        if (!loaded.error.empty())
            return loaded;
        loaded.history.records = GenerateRecords(options.records, options.seed, timing);
    }
    loaded.history.identification = IdentificationBody(options.model, options.serial);
    std::vector<std::string>& records = loaded.history.records;
    for (const Garble& garble : options.garbles) {
        if (static_cast<std::size_t>(garble.record) > records.size()) {
            loaded.error = "no test record " + std::to_string(garble.record) + " to garble";
            return loaded;
        }
        records[garble.record - 1] = GarbleRecord(records[garble.record - 1], garble.kind);
    }
    return loaded;
}

}  // namespace sim
