#include "trend/statistics_cells.h"

#include "trend/chart_layers.h"

namespace qm4250 {

namespace {

QString Optional(const std::optional<double>& value) {
    return value ? LimitText(*value) : "-";
}

}  // namespace

QStringList StatisticsHeaders() {
    return {"PN",  "n",      "Reject rate", "Mean", "σ overall", "σ (MR)",    "LCL",        "CL",
            "UCL", "MR-bar", "UCL (MR)",    "Min",  "Max",       "Mean + 3σ", "Rule breaks"};
}

QStringList StatisticsCells(const PartStatistics& p) {
    auto limit = [&p](double ControlLimits::*member) {
        return p.limits ? LimitText((*p.limits).*member) : QString("-");
    };
    // A part number none of whose leaks is a number has no mean, minimum or rate of its own.
    auto some = [&p](double value) { return p.n ? LimitText(value) : QString("-"); };
    return {QString::fromStdString(p.pn),
            QString::number(p.n),
            p.n ? LimitText(p.rejectRate * 100) + " %" : QString("-"),
            some(p.mean),
            Optional(p.sigmaOverall),
            Optional(p.sigmaMovingRange),
            limit(&ControlLimits::lower),
            limit(&ControlLimits::mean),
            limit(&ControlLimits::upper),
            limit(&ControlLimits::averageMovingRange),
            limit(&ControlLimits::movingRangeUpper),
            some(p.min),
            some(p.max),
            Optional(p.suggestedSetPoint),
            QString::number(p.ruleBreaks)};
}

}  // namespace qm4250
