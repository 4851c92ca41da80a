#include "trend/statistics_cells.h"

#include "trend/chart_layers.h"

namespace qm4250 {

namespace {

QString Optional(const std::optional<double>& value) {
    return value ? LimitText(*value) : "-";
}

// With a tolerance: its limits; Cp and Pp where both are set; Cpk and Ppk (the one-sided
// index where only one limit is set) with Cpk's 95 % interval; the share outside. Below the
// minimum, which minimum.
QStringList CapabilityCells(const PartStatistics& p) {
    if (!p.tolerance)
        return QStringList(8, "-");
    QStringList cells{Optional(p.tolerance->lower), Optional(p.tolerance->upper)};
    if (!p.capability) {
        QString why = p.n < kCapabilityMinimumTests
                          ? QString("not enough tests (n < %1)").arg(kCapabilityMinimumTests)
                          : QString("no spread");
        return cells << "-" << why << "-" << why << "-"
                     << "-";
    }
    const Capability& c = *p.capability;
    return cells << Optional(c.cp) << LimitText(c.cpk) << Optional(c.pp) << LimitText(c.ppk)
                 << QString("%1 to %2")
                        .arg(QString::number(c.cpkInterval.first, 'f', 2),
                             QString::number(c.cpkInterval.second, 'f', 2))
                 << QString("%1 / %2").arg(LimitText(c.observedPpm), LimitText(c.expectedPpm));
}

}  // namespace

QStringList StatisticsHeaders() {
    return {"PN",
            "n",
            "Reject rate",
            "Mean",
            "σ overall",
            "σ (MR)",
            "LCL",
            "CL",
            "UCL",
            "MR-bar",
            "UCL (MR)",
            "Min",
            "Max",
            "Mean + 3σ",
            "Rule breaks",
            "LSL",
            "USL",
            "Cp",
            "Cpk",
            "Pp",
            "Ppk",
            "Cpk 95%",
            "ppm out (obs. / exp.)"};
}

QStringList StatisticsCells(const PartStatistics& p) {
    auto limit = [&p](double ControlLimits::*member) {
        return p.limits ? LimitText((*p.limits).*member) : QString("-");
    };
    // A part number none of whose leaks is a number has no mean, minimum or rate of its own.
    auto some = [&p](double value) { return p.n ? LimitText(value) : QString("-"); };
    QStringList cells{QString::fromStdString(p.pn),
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
    return cells + CapabilityCells(p);
}

}  // namespace qm4250
