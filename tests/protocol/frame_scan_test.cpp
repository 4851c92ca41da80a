#include "protocol/frame_scan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace qm4250;

namespace {

const std::string S = "\x02";
const std::string E = "\x03";

struct ScanCase {
    const char* name;
    std::string buffer;
    std::optional<std::string> body;
    std::string left;
};

class CutFrameTable : public testing::TestWithParam<ScanCase> {};

TEST_P(CutFrameTable, CutsTheFirstWholeFrame) {
    std::string buffer = GetParam().buffer;
    EXPECT_EQ(CutFrame(buffer), GetParam().body);
    EXPECT_EQ(buffer, GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, CutFrameTable,
    testing::Values(ScanCase{"Empty", "", std::nullopt, ""},
                    ScanCase{"StxOnly", S + "1abc", std::nullopt, S + "1abc"},
                    ScanCase{"TextOnly", "abc", std::nullopt, "abc"},
                    ScanCase{"WholeFrame", S + "1abc" + E, "1abc", ""},
                    ScanCase{"StrayTextAround", "xyz" + S + "1abc" + E + "uvw", "1abc", ""},
                    ScanCase{"TwoFramesFirstOnly", S + "1a" + E + S + "1b" + E, "1a", ""},
                    ScanCase{"EmptyBody", S + E, "", ""},
                    ScanCase{"LoneEtxKept", E, std::nullopt, E},
                    ScanCase{"LoneEtxThenFrame", "ab" + E + S + "1abc" + E, "1abc", ""},
                    ScanCase{"TwoStrayEtxThenFrame", E + "x" + E + S + "1abc" + E, "1abc", ""},
                    ScanCase{"StrayEtxThenPartialFrame", E + S + "1ab", std::nullopt, S + "1ab"},
                    ScanCase{"SecondStxInsideBody", S + "x" + S + "1a" + E, "x" + S + "1a", ""}),
    [](const auto& info) { return info.param.name; });

TEST(CutFrame, NoiseWithoutAFrameStaysBounded) {
    std::string buffer;
    for (int i = 0; i < 1000; ++i) {
        buffer += std::string(1000, 'x');
        EXPECT_EQ(CutFrame(buffer), std::nullopt);
        ASSERT_LE(buffer.size(), kRxBufferLimit);
    }
}

TEST(CutFrame, PastTheLimitKeepsAFrameStillCompleting) {
    std::string buffer = std::string(kRxBufferLimit, 'x') + S + "1ab";
    EXPECT_EQ(CutFrame(buffer), std::nullopt);
    EXPECT_EQ(buffer, S + "1ab");
    buffer += "c" + E;
    EXPECT_EQ(CutFrame(buffer), "1abc");
}

TEST(CutFrame, AnOverlongUnfinishedFrameIsDropped) {
    std::string buffer = S + std::string(kRxBufferLimit, 'x');
    EXPECT_EQ(CutFrame(buffer), std::nullopt);
    EXPECT_EQ(buffer, "");
}

}  // namespace
