#include "record_generator.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Fields(const std::string& body) {
    std::vector<std::string> fields;
    std::size_t begin = 1;
    for (;;) {
        std::size_t comma = body.find(',', begin);
        fields.push_back(body.substr(begin, comma - begin));
        if (comma == std::string::npos)
            return fields;
        begin = comma + 1;
    }
}

std::int64_t Number(const std::string& text) {
    std::int64_t value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc{} && end == text.data() + text.size()) << text;
    return value;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A leak as the instrument prints it: an optional minus, digits, a point and four decimals.
bool IsLeak(std::string_view text) {
    if (!text.empty() && text[0] == '-')
        text.remove_prefix(1);
    std::size_t point = text.find('.');
    return point != std::string_view::npos && AllDigits(text.substr(0, point)) &&
           text.size() - point == 5 && AllDigits(text.substr(point + 1));
}

const sim::Timing kEndingNow{*sim::DateTimeStamp(2026, 12, 9) + 15 * 3600, {}, {}};

TEST(RecordGenerator, SameSeedSameHistoryOtherSeedOther) {
    EXPECT_EQ(sim::GenerateRecords(300, 5, kEndingNow), sim::GenerateRecords(300, 5, kEndingNow));
    EXPECT_NE(sim::GenerateRecords(300, 5, kEndingNow), sim::GenerateRecords(300, 6, kEndingNow));
    EXPECT_TRUE(sim::GenerateRecords(0, 5, kEndingNow).empty());
}

TEST(RecordGenerator, EveryRecordIsAValidTestRecord) {
    const std::vector<std::string> records = sim::GenerateRecords(2000, 42, kEndingNow);
    ASSERT_EQ(records.size(), 2000u);
    std::int64_t previousTime = -1;
    std::int64_t previousSequence = -1;
    int powerUps = 0;
    int errors = 0;
    for (const std::string& record : records) {
        SCOPED_TRACE(record);
        ASSERT_EQ(record[0], '1');
        std::vector<std::string> fields = Fields(record);
        ASSERT_EQ(fields.size(), 7u);
        std::int64_t sequence = Number(fields[0]);
        EXPECT_TRUE(previousSequence < 0 || sequence == previousSequence + 1);
        previousSequence = sequence;
        EXPECT_FALSE(fields[1].empty());
        EXPECT_LE(fields[1].size(), 4u);
        EXPECT_FALSE(fields[2].empty());
        EXPECT_LE(fields[2].size(), 10u);
        EXPECT_TRUE(IsLeak(fields[3]));
        EXPECT_TRUE(fields[4] == "N" ||
                    (fields[4].size() == 1 && fields[4] >= "1" && fields[4] <= "9"));
        std::int64_t time = Number(fields[5]);
        EXPECT_GE(time, previousTime);
        EXPECT_LE(time, kEndingNow.end);
        previousTime = time;
        std::int64_t relays = Number(fields[6]);
        EXPECT_EQ(relays & ~0b11101, 0) << "only the power-up and result bits";
        powerUps += relays & 1;
        errors += fields[4] != "N";
    }
    EXPECT_GT(powerUps, 100);
    EXPECT_LT(powerUps, 300);
    EXPECT_LT(errors, 200);
}

}  // namespace
