#include "byte_log.h"

#include <array>

namespace sim {

ByteLog::ByteLog(const std::string& path) : enabled_(true), file_(path, std::ios::trunc) {}

void ByteLog::Bytes(std::string_view direction, std::string_view bytes) {
    static constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                               '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string text(direction);
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        text += ' ';
        text += kHex[byte >> 4];
        text += kHex[byte & 0xf];
    }
    Line(text);
}

void ByteLog::Event(std::string_view event) {
    Line(event);
}

void ByteLog::Line(std::string_view text) {
    if (!enabled_ || !file_)
        return;
    auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start_);
    file_ << elapsed.count() << ' ' << text << std::endl;
}

}  // namespace sim
