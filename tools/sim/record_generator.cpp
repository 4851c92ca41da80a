#include "record_generator.h"

#include <array>
#include <cstdio>
#include <utility>

#include "dice.h"

namespace sim {

namespace {

struct Product {
    const char* partNumber;
    const char* customerCode;
};

constexpr std::array<Product, 6> kProducts{{
    {"A12", "NORDAL-7"},
    {"207", "K1044"},
    {"P3", "BERGEN"},
    {"1185", "ACME-01"},
    {"X9", "HALVOR"},
    {"44", "TRIMCO"},
}};

constexpr int kPowerUpMarker = 1;
constexpr int kGoodPartRelay = 4;
constexpr int kBadPartRelay = 8;
constexpr int kGrossErrorRelay = 16;

// Leak results in ten-thousandths, written as the instrument does: "0.0012".
std::string LeakText(std::int64_t tenThousandths) {
    std::array<char, 32> text{};
    std::int64_t magnitude = tenThousandths < 0 ? -tenThousandths : tenThousandths;
    std::snprintf(text.data(), text.size(), "%s%lld.%04lld", tenThousandths < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 10000),
                  static_cast<long long>(magnitude % 10000));
    return text.data();
}

struct Outcome {
    std::string leak;
    std::string error = "N";
    int relays = 0;
};

Outcome TestOutcome(Dice& dice) {
    Outcome outcome;
    std::int64_t roll = dice.Below(100);
    if (roll < 6) {
        outcome.error = std::to_string(1 + dice.Below(9));
        outcome.leak = LeakText(0);
    } else if (roll < 8) {
        outcome.leak = LeakText(-1 - dice.Below(4));  // zero drift
        outcome.relays = kGoodPartRelay;
    } else if (roll < 86) {
        outcome.leak = LeakText(1 + dice.Below(50));
        outcome.relays = kGoodPartRelay;
    } else if (roll < 96) {
        outcome.leak = LeakText(51 + dice.Below(350));
        outcome.relays = kBadPartRelay;
    } else {
        outcome.leak = LeakText(10000 + dice.Below(90000));
        outcome.relays = kGrossErrorRelay;
    }
    return outcome;
}

}  // namespace

std::vector<std::string> GenerateRecords(int count, std::uint64_t seed, const Timing& timing) {
    Dice dice(seed);
    const std::vector<std::int64_t> times = TestTimes(count, timing, seed);
    std::vector<std::string> records;
    records.reserve(count);
    std::int64_t sequence = 1 + dice.Below(9000);
    std::size_t product = dice.Below(kProducts.size());
    for (int k = 0; k < count; ++k) {
        if (dice.Chance(5))
            product = dice.Below(kProducts.size());
        Outcome outcome = TestOutcome(dice);
        if (dice.Chance(10))
            outcome.relays |= kPowerUpMarker;
        std::string body = "1";
        body += std::to_string(sequence++) + "," + kProducts[product].partNumber + "," +
                kProducts[product].customerCode + "," + outcome.leak + "," + outcome.error + "," +
                std::to_string(times[k]) + "," + std::to_string(outcome.relays);
        records.push_back(std::move(body));
    }
    return records;
}

}  // namespace sim
