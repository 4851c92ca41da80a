#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>

namespace sim {

struct FramedBody {
    std::string body;
};

// A byte outside any frame: a reply character (ACK, CAN) or line noise.
struct LooseByte {
    char byte;
};

using ScanEvent = std::variant<FramedBody, LooseByte>;

// Finds what the program sends, one byte at a time, so a command may arrive split over any
// number of reads. An STX inside a frame starts the frame afresh, and an overlong body is
// dropped, so noise can neither wedge the scanner nor make it grow without bound.
class CommandScanner {
  public:
    std::optional<ScanEvent> Push(char byte);
    void Reset();

  private:
    static constexpr std::size_t kLongestBody = 64;
    bool inFrame_ = false;
    std::string body_;
};

}  // namespace sim
