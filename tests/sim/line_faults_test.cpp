#include "line_faults.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Splits what LineFaults put on the line into the bytes before the frame and the frame.
struct Wire {
    std::string noise;
    std::string frame;
};

Wire Split(const std::string& wire) {
    std::size_t stx = wire.find('\x02');
    return {wire.substr(0, stx), wire.substr(stx)};
}

TEST(LineFaults, NoiseNeverHoldsFrameDelimitersAndFollowsTheRate) {
    sim::LineFaults faults(0.5, false, 7);
    int noisy = 0;
    const int frames = 2000;
    for (int i = 0; i < frames; ++i) {
        Wire wire = Split(faults.Frame("1abc", sim::FrameKind::kHistory));
        ASSERT_EQ(wire.frame,
                  "\x02"
                  "1abc\x03");
        ASSERT_LE(wire.noise.size(), 3u);
        ASSERT_EQ(wire.noise.find('\x03'), std::string::npos);
        noisy += wire.noise.empty() ? 0 : 1;
    }
    EXPECT_GT(noisy, frames * 4 / 10);
    EXPECT_LT(noisy, frames * 6 / 10);
}

TEST(LineFaults, RateOneNoisesEveryFrameAndRateZeroNone) {
    sim::LineFaults always(1.0, false, 3);
    sim::LineFaults never(0.0, false, 3);
    for (int i = 0; i < 200; ++i) {
        EXPECT_FALSE(Split(always.Frame("820", sim::FrameKind::kModeReply)).noise.empty());
        EXPECT_EQ(never.Frame("820", sim::FrameKind::kModeReply),
                  "\x02"
                  "820\x03");
    }
}

TEST(LineFaults, SameSeedSameNoise) {
    sim::LineFaults first(0.3, true, 11);
    sim::LineFaults second(0.3, true, 11);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(first.Frame("1x", sim::FrameKind::kHistory),
                  second.Frame("1x", sim::FrameKind::kHistory));
}

}  // namespace
