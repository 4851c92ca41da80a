#include "sim_log.h"

#include <fstream>
#include <sstream>

bool ReadSimLog(const std::string& path, SimLogSummary& summary) {
    std::ifstream log(path);
    if (!log)
        return false;
    std::int64_t etxSentUs = -1;
    std::string line, event, byte;
    while (std::getline(log, line)) {
        std::istringstream words(line);
        std::int64_t timeUs = 0;
        words >> timeUs >> event;
        bool sent = event == "tx";
        if (!sent && event != "rx")
            continue;
        bool holdsEtx = false;
        while (words >> byte) {
            ++(sent ? summary.txBytes : summary.rxBytes);
            holdsEtx = holdsEtx || byte == "03";
        }
        if (sent) {
            if (holdsEtx)
                etxSentUs = timeUs;
            continue;
        }
        if (summary.firstRxUs < 0)
            summary.firstRxUs = timeUs;
        summary.lastRxUs = timeUs;
        if (etxSentUs >= 0)
            summary.turnaroundsUs.push_back(static_cast<double>(timeUs - etxSentUs));
        etxSentUs = -1;
    }
    return true;
}
