#include "analysis/run_rules.h"

#include <cmath>

namespace qm4250 {

namespace {

// Where a value lies: its side of the centre line (-1, 0, 1) and its distance in sigmas.
struct Position {
    int side;
    double sigmas;
};

Position PositionOf(double value, double centre, double sigma) {
    int side = value > centre ? 1 : value < centre ? -1 : 0;
    return {side, sigma > 0 ? std::fabs(value - centre) / sigma : 0};
}

// Point i ends a run of `length` points that each satisfy `holds(j)`.
template <typename Holds>
bool RunEndsAt(size_t i, size_t length, Holds holds) {
    if (i + 1 < length)
        return false;
    for (size_t j = i + 1 - length; j <= i; ++j)
        if (!holds(j))
            return false;
    return true;
}

// Point i is beyond `zone` sigmas and at least `count` of the `window` points ending at it are
// beyond `zone` on its side. At the start of the data the window holds the points there are: two
// first points beyond 2 sigma are two of three already.
bool CountEndsAt(const std::vector<Position>& at, size_t i, size_t count, size_t window,
                 double zone) {
    if (at[i].side == 0 || at[i].sigmas <= zone)
        return false;
    size_t beyond = 0;
    for (size_t j = i + 1 > window ? i + 1 - window : 0; j <= i; ++j)
        beyond += at[j].side == at[i].side && at[j].sigmas > zone;
    return beyond >= count;
}

bool SameSideRun(const std::vector<Position>& at, size_t i, size_t length) {
    int side = at[i].side;
    return side != 0 && RunEndsAt(i, length, [&](size_t j) { return at[j].side == side; });
}

bool Breaks(RunRule rule, const std::vector<double>& values, const std::vector<Position>& at,
            size_t i, bool spread) {
    switch (rule) {
        case RunRule::WesternElectric1:
        case RunRule::Nelson1:
            return spread && at[i].sigmas > 3;
        case RunRule::WesternElectric2:
        case RunRule::Nelson5:
            return spread && CountEndsAt(at, i, 2, 3, 2);
        case RunRule::WesternElectric3:
        case RunRule::Nelson6:
            return spread && CountEndsAt(at, i, 4, 5, 1);
        case RunRule::WesternElectric4:
            return SameSideRun(at, i, 8);
        case RunRule::Nelson2:
            return SameSideRun(at, i, 9);
        case RunRule::Nelson3: {
            // Six points, five steps all up or all down.
            auto rising = [&](size_t j) { return j > 0 && values[j] > values[j - 1]; };
            auto falling = [&](size_t j) { return j > 0 && values[j] < values[j - 1]; };
            return i >= 5 && (RunEndsAt(i, 5, rising) || RunEndsAt(i, 5, falling));
        }
        case RunRule::Nelson4:
            // Fourteen points, thirteen steps each the other way from the one before.
            return i >= 13 && RunEndsAt(i, 12, [&](size_t j) {
                       return (values[j - 1] - values[j - 2]) * (values[j] - values[j - 1]) < 0;
                   });
        case RunRule::Nelson7:
            return spread && RunEndsAt(i, 15, [&](size_t j) { return at[j].sigmas < 1; });
        case RunRule::Nelson8:
            return spread && RunEndsAt(i, 8, [&](size_t j) { return at[j].sigmas > 1; }) && [&] {
                bool above = false, below = false;
                for (size_t j = i - 7; j <= i; ++j)
                    (at[j].side > 0 ? above : below) = true;
                return above && below;
            }();
    }
    return false;
}

}  // namespace

namespace {

std::vector<Position> PositionsOf(const std::vector<double>& values, double centre, double sigma) {
    std::vector<Position> at;
    at.reserve(values.size());
    for (double value : values)
        at.push_back(PositionOf(value, centre, sigma));
    return at;
}

}  // namespace

std::vector<RunRuleBreak> FindRunRuleBreaks(const std::vector<double>& values, double centre,
                                            double sigma, const std::vector<RunRule>& rules) {
    std::vector<Position> at = PositionsOf(values, centre, sigma);
    // Room for a break at every point, touched only as far as there are breaks.
    std::vector<RunRuleBreak> breaks;
    breaks.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        for (RunRule rule : rules)
            if (Breaks(rule, values, at, i, sigma > 0))
                breaks.push_back({rule, static_cast<uint32_t>(i)});
    return breaks;
}

size_t PointsBreaking(const std::vector<double>& values, double centre, double sigma,
                      const std::vector<RunRule>& rules) {
    std::vector<Position> at = PositionsOf(values, centre, sigma);
    size_t broken = 0;
    for (size_t i = 0; i < values.size(); ++i)
        for (RunRule rule : rules)
            if (Breaks(rule, values, at, i, sigma > 0)) {
                ++broken;
                break;
            }
    return broken;
}

const char* RunRuleName(RunRule rule) {
    switch (rule) {
        case RunRule::WesternElectric1:
            return "WE 1";
        case RunRule::WesternElectric2:
            return "WE 2";
        case RunRule::WesternElectric3:
            return "WE 3";
        case RunRule::WesternElectric4:
            return "WE 4";
        case RunRule::Nelson1:
            return "Nelson 1";
        case RunRule::Nelson2:
            return "Nelson 2";
        case RunRule::Nelson3:
            return "Nelson 3";
        case RunRule::Nelson4:
            return "Nelson 4";
        case RunRule::Nelson5:
            return "Nelson 5";
        case RunRule::Nelson6:
            return "Nelson 6";
        case RunRule::Nelson7:
            return "Nelson 7";
        case RunRule::Nelson8:
            return "Nelson 8";
    }
    return "";
}

}  // namespace qm4250
