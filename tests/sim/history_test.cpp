#include "history.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "garble.h"

namespace {

using sim::GarbleKind;

struct GarbleCase {
    const char* name;
    std::string body;
    GarbleKind kind;
    std::string garbled;
};

class GarbleTable : public testing::TestWithParam<GarbleCase> {};

TEST_P(GarbleTable, DamagesTheChosenField) {
    EXPECT_EQ(sim::GarbleRecord(GetParam().body, GetParam().kind), GetParam().garbled);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GarbleTable,
                         testing::Values(GarbleCase{"FewerFields", "17,A1,C,0.1,N,1234,5",
                                                    GarbleKind::kFewerFields, "17,A1,C,0.1,N,1234"},
                                         GarbleCase{"BadTime", "17,A1,C,0.1,N,1234,5",
                                                    GarbleKind::kBadTime, "17,A1,C,0.1,N,123?,5"},
                                         GarbleCase{"BadRelay", "17,A1,C,0.1,N,1234,28",
                                                    GarbleKind::kBadRelay, "17,A1,C,0.1,N,1234,2?"},
                                         GarbleCase{"EmptyRelayStillSpoiled", "17,A1,C,0.1,N,1234,",
                                                    GarbleKind::kBadRelay, "17,A1,C,0.1,N,1234,?"},
                                         GarbleCase{"ShortRecordKeepsItsFields", "17,A1,C",
                                                    GarbleKind::kFewerFields, "17,A1,C"},
                                         GarbleCase{"ShortRecordHasNoTime", "17,A1,C",
                                                    GarbleKind::kBadTime, "17,A1,C"}),
                         [](const auto& info) { return info.param.name; });

class ReplayFile : public testing::Test {
  protected:
    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    ~ReplayFile() override { std::remove(path_.c_str()); }
    std::string path_ = testing::TempDir() + "sim_replay_test.txt";
};

TEST_F(ReplayFile, EachLineIsOneBodyAndCarriageReturnsGo) {
    Write("11,P,C,0.1,N,0,4\r\n1\n12,P,C,0.2,7,9,1\n");
    sim::LoadedHistory loaded = sim::LoadReplayFile(path_);
    EXPECT_EQ(loaded.error, "");
    EXPECT_EQ(loaded.history.records,
              (std::vector<std::string>{"11,P,C,0.1,N,0,4", "1", "12,P,C,0.2,7,9,1"}));
}

TEST_F(ReplayFile, FrameDelimiterInALineIsRefused) {
    Write("11,P\n12\x03,P\n");
    EXPECT_NE(sim::LoadReplayFile(path_).error.find(":2:"), std::string::npos);
}

TEST_F(ReplayFile, BuildHistoryReplaysAndGarbles) {
    Write("11,P,C,0.1,N,0,4\n12,P,C,0.2,N,9,1\n");
    sim::Options options;
    options.model = 'Q';
    options.serial = "42";
    options.replayFile = path_;
    options.garbles = {{2, GarbleKind::kBadTime}};
    sim::LoadedHistory loaded = sim::BuildHistory(options);
    EXPECT_EQ(loaded.error, "");
    EXPECT_EQ(loaded.history.identification, "1Q42");
    EXPECT_EQ(loaded.history.records,
              (std::vector<std::string>{"11,P,C,0.1,N,0,4", "12,P,C,0.2,N,?,1"}));

    options.garbles = {{3, GarbleKind::kBadTime}};
    EXPECT_NE(sim::BuildHistory(options).error, "");
}

}  // namespace
