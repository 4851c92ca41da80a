#include "history_exchange.h"

#include <fstream>
#include <sstream>

namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr char kAck = '\x06';
constexpr char kCan = '\x18';

// All bytes of one direction ("tx" or "rx"), in order.
std::string BytesOf(const std::string& logPath, const std::string& direction) {
    std::ifstream log(logPath);
    std::string bytes, line;
    while (std::getline(log, line)) {
        std::istringstream words(line);
        std::string time, event, hex;
        words >> time >> event;
        if (event != direction)
            continue;
        while (words >> hex)
            bytes += static_cast<char>(std::stoi(hex, nullptr, 16));
    }
    return bytes;
}

}  // namespace

std::vector<SentFrame> HistoryExchange(const std::string& logPath) {
    std::vector<SentFrame> frames;
    std::string sent = BytesOf(logPath, "tx");
    for (size_t stx = sent.find(kStx); stx != std::string::npos; stx = sent.find(kStx, stx + 1)) {
        size_t etx = sent.find(kEtx, stx);
        if (etx == std::string::npos)
            break;
        std::string body = sent.substr(stx + 1, etx - stx - 1);
        if (!body.empty() && body[0] == '1')
            frames.push_back({body, '\0'});
        stx = etx;
    }
    size_t answered = 0;
    for (char byte : BytesOf(logPath, "rx")) {
        if (byte != kAck && byte != kCan)
            continue;
        // A reply with no frame left to answer shows up as a frame without a body.
        if (answered == frames.size())
            frames.push_back({"", '\0'});
        frames[answered++].reply = byte;
    }
    return frames;
}

int SequenceNumber(const std::string& body) {
    size_t comma = body.find(',');
    if (body.size() < 2 || comma == std::string::npos)
        return -1;
    try {
        return std::stoi(body.substr(1, comma - 1));
    } catch (const std::exception&) {
        return -1;
    }
}
