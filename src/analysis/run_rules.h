#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm4250 {

// The run rules an engineer switches on: the Western Electric rules 1 to 4 and the Nelson rules
// 1 to 8. Zones are counted in sigmas from the centre line; a point on the centre line is on
// neither side and ends every run on a side.
enum class RunRule : uint8_t {
    WesternElectric1,  // one point beyond 3 sigma
    WesternElectric2,  // 2 of 3 in a row beyond 2 sigma, on one side
    WesternElectric3,  // 4 of 5 in a row beyond 1 sigma, on one side
    WesternElectric4,  // 8 in a row on one side
    Nelson1,           // one point beyond 3 sigma
    Nelson2,           // 9 in a row on one side
    Nelson3,           // 6 in a row steadily rising or falling
    Nelson4,           // 14 in a row alternating up and down
    Nelson5,           // 2 of 3 in a row beyond 2 sigma, on one side
    Nelson6,           // 4 of 5 in a row beyond 1 sigma, on one side
    Nelson7,           // 15 in a row within 1 sigma, either side
    Nelson8,           // 8 in a row beyond 1 sigma, on both sides
};

inline constexpr RunRule kAllRunRules[] = {
    RunRule::WesternElectric1, RunRule::WesternElectric2, RunRule::WesternElectric3,
    RunRule::WesternElectric4, RunRule::Nelson1,          RunRule::Nelson2,
    RunRule::Nelson3,          RunRule::Nelson4,          RunRule::Nelson5,
    RunRule::Nelson6,          RunRule::Nelson7,          RunRule::Nelson8};

// A rule as lists and messages name it: "WE 1", "Nelson 7".
const char* RunRuleName(RunRule rule);

// A rule broken at a point: the point that completes the pattern, and every later point for as
// long as the pattern goes on. For the "k of m" rules the point itself is one of the k, and the
// first points of the data count as a window of their own.
struct RunRuleBreak {
    RunRule rule;
    uint32_t index;  // eight bytes a break: a million tests may break a rule a million times
};

// The breaks of each rule asked for, in the order of the points, then of the rules as given.
// Sigma 0 (all values equal) breaks no rule that counts in sigmas.
std::vector<RunRuleBreak> FindRunRuleBreaks(const std::vector<double>& values, double centre,
                                            double sigma, const std::vector<RunRule>& rules);

// How many points break at least one of the rules, without listing the breaks.
size_t PointsBreaking(const std::vector<double>& values, double centre, double sigma,
                      const std::vector<RunRule>& rules);

}  // namespace qm4250
