#include "trend/rule_names.h"

namespace qm4250 {

QString RuleName(RunRule rule) {
    return QString::fromUtf8(RunRuleName(rule));
}

QString RuleDescription(RunRule rule) {
    switch (rule) {
        case RunRule::WesternElectric1:
        case RunRule::Nelson1:
            return "one point beyond 3σ";
        case RunRule::WesternElectric2:
        case RunRule::Nelson5:
            return "2 of 3 in a row beyond 2σ, on one side";
        case RunRule::WesternElectric3:
        case RunRule::Nelson6:
            return "4 of 5 in a row beyond 1σ, on one side";
        case RunRule::WesternElectric4:
            return "8 in a row on one side";
        case RunRule::Nelson2:
            return "9 in a row on one side";
        case RunRule::Nelson3:
            return "6 in a row rising or falling";
        case RunRule::Nelson4:
            return "14 in a row alternating up and down";
        case RunRule::Nelson7:
            return "15 in a row within 1σ";
        case RunRule::Nelson8:
            return "8 in a row beyond 1σ, on both sides";
    }
    return {};
}

}  // namespace qm4250
