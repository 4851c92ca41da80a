#pragma once

#include <cstdint>
#include <random>

namespace sim {

// mt19937_64's output is fixed by the standard, unlike the library's distributions, so the same
// seed gives the same history with any standard library.
class Dice {
  public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}
    std::int64_t Below(std::int64_t n) { return static_cast<std::int64_t>(engine_() % n); }
    bool Chance(int percent) { return Below(100) < percent; }

  private:
    std::mt19937_64 engine_;
};

}  // namespace sim
