#pragma once

#include <chrono>
#include <fstream>
#include <string>
#include <string_view>

namespace sim {

// One line per event, "<microseconds since start> <event> [details]", flushed at once so a
// test can follow the file while the simulator runs:
//   123456 rx 02 31 03      bytes read from the program, in hex
//   123789 tx 02 31 53 ...  bytes written to the program, in hex
//   130000 pause 800        a pause before a record begins
//   140000 closed           the program closed the port
//   150000 hangup           the simulator dropped the line
// Turnaround is the time from the tx line holding a frame's last byte to the next rx line.
class ByteLog {
  public:
    ByteLog() = default;  // logs nothing
    explicit ByteLog(const std::string& path);

    bool failed() const { return enabled_ && !file_; }

    void Bytes(std::string_view direction, std::string_view bytes);
    void Event(std::string_view event);

  private:
    void Line(std::string_view text);

    bool enabled_ = false;
    std::ofstream file_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace sim
