#include "line_faults.h"

#include "control_bytes.h"

namespace sim {

namespace {

// The noise draws from its own stream, so turning it on leaves the generated records as they are.
constexpr std::uint64_t kNoiseStream = 0x9e3779b97f4a7c15;

constexpr int kLongestBurst = 3;

}  // namespace

LineFaults::LineFaults(double noiseRate, bool strayEtx, std::uint64_t seed)
    : noiseRate_(noiseRate), strayEtx_(strayEtx), engine_(seed ^ kNoiseStream) {}

std::string LineFaults::Frame(std::string_view body, FrameKind kind) {
    std::string wire = Noise();
    if (strayEtx_ && kind == FrameKind::kHistory)
        wire += kEtx;
    wire += kStx;
    wire += body;
    wire += kEtx;
    return wire;
}

std::string LineFaults::Noise() {
    std::string noise;
    if (noiseRate_ <= 0.0 || std::generate_canonical<double, 53>(engine_) >= noiseRate_)
        return noise;
    int length = 1 + static_cast<int>(engine_() % kLongestBurst);
    while (static_cast<int>(noise.size()) < length) {
        char byte = static_cast<char>(engine_() & 0xff);
        if (byte != kStx && byte != kEtx)
            noise += byte;
    }
    return noise;
}

}  // namespace sim
