#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace sim {

enum class FrameKind { kHistory, kModeReply };

// Puts a frame on the line, with the stray bytes a noisy line adds in front of it. Noise never
// holds STX or ETX: a stray STX would swallow the frame behind it, and stray ETX has its own
// switch so that each fault can be tried on its own.
class LineFaults {
  public:
    LineFaults() = default;
    LineFaults(double noiseRate, bool strayEtx, std::uint64_t seed);

    std::string Frame(std::string_view body, FrameKind kind);

  private:
    std::string Noise();

    double noiseRate_ = 0.0;
    bool strayEtx_ = false;
    std::mt19937_64 engine_;
};

}  // namespace sim
