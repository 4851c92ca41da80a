#include "trend/statistics_cells.h"

#include <algorithm>
#include <functional>

#include "trend/chart_layers.h"

namespace qm4250 {

namespace {

// One value of a statistic: none ("-" in the table, an empty cell in a workbook), a number with
// the text the table shows for it, or a text (a PN, or why a statistic has no value).
struct Value {
    enum class Kind { None, Number, Text };
    Kind kind = Kind::None;
    double number = 0;
    QString text = "-";
};

Value None() {
    return {};
}

Value Number(double number, QString text) {
    return {Value::Kind::Number, number, std::move(text)};
}

Value Limit(double number) {
    return Number(number, LimitText(number));
}

Value Limit(const std::optional<double>& number) {
    return number ? Limit(*number) : None();
}

Value Count(size_t count) {
    return Number(static_cast<double>(count), QString::number(count));
}

Value Text(QString text) {
    return {Value::Kind::Text, 0, std::move(text)};
}

// A column of the statistics: its header in the table and, one for each of its values, in a
// workbook; its values for a part, which the table shows joined by `joiner`.
struct Column {
    QString header;
    std::vector<std::string> sheetHeaders;
    QString joiner;
    std::function<std::vector<Value>(const PartStatistics&)> values;
};

// A column of one value, headed alike in the table and a workbook.
Column Single(const char* header, std::function<Value(const PartStatistics&)> value) {
    return {header, {header}, {}, [value](const PartStatistics& p) {
                return std::vector<Value>{value(p)};
            }};
}

// A part number none of whose tests is kept in the limits has no process to describe.
Value OfTheProcess(const PartStatistics& p, double value) {
    return p.kept ? Limit(value) : None();
}

Value ControlLimit(const PartStatistics& p, double ControlLimits::*member) {
    return p.limits ? Limit((*p.limits).*member) : None();
}

Value ToleranceLimit(const PartStatistics& p, std::optional<double> ToleranceLimits::*member) {
    return p.tolerance ? Limit((*p.tolerance).*member) : None();
}

// Cp and Pp, which need both tolerance limits.
Value TwoSidedIndex(const PartStatistics& p, std::optional<double> Capability::*member) {
    return p.capability ? Limit((*p.capability).*member) : None();
}

// Cpk and Ppk: with a tolerance but too few tests or no spread, which of them.
Value Index(const PartStatistics& p, double Capability::*member) {
    if (!p.tolerance)
        return None();
    if (!p.capability)
        return Text(p.kept < kCapabilityMinimumTests
                        ? QString("not enough tests (n < %1)").arg(kCapabilityMinimumTests)
                        : QString("no spread"));
    return Limit((*p.capability).*member);
}

std::vector<Value> CpkInterval(const PartStatistics& p) {
    if (!p.capability)
        return {None(), None()};
    auto [low, high] = p.capability->cpkInterval;
    return {Number(low, QString::number(low, 'f', 2)), Number(high, QString::number(high, 'f', 2))};
}

// Parts per million up to a million, without an exponent.
Value Ppm(double ppm) {
    return Number(ppm, ppm < 1e5 ? LimitText(ppm) : QString::number(ppm, 'f', 0));
}

// Observed of every test, expected of the process.
std::vector<Value> PpmOutside(const PartStatistics& p) {
    return {p.observedPpm ? Ppm(*p.observedPpm) : None(),
            p.capability ? Ppm(p.capability->expectedPpm) : None()};
}

// The columns of the window's table, the report and the workbook, in their order: the capability
// early, where a table as wide as the window shows it without scrolling.
const std::vector<Column>& Columns() {
    static const std::vector<Column> columns{
        Single("PN", [](const PartStatistics& p) { return Text(QString::fromStdString(p.pn)); }),
        Single("Unit",
               [](const PartStatistics& p) {
                   return p.unit.empty() ? None() : Text(QString::fromStdString(p.unit));
               }),
        Single("n", [](const PartStatistics& p) { return Count(p.n); }),
        {"Reject rate",
         {"Reject rate (%)"},
         {},
         [](const PartStatistics& p) {
             double percent = p.rejectRate * 100;
             return std::vector<Value>{p.n ? Number(percent, LimitText(percent) + " %") : None()};
         }},
        Single("In limits", [](const PartStatistics& p) { return Count(p.kept); }),
        Single("LSL",
               [](const PartStatistics& p) { return ToleranceLimit(p, &ToleranceLimits::lower); }),
        Single("USL",
               [](const PartStatistics& p) { return ToleranceLimit(p, &ToleranceLimits::upper); }),
        Single("Cp", [](const PartStatistics& p) { return TwoSidedIndex(p, &Capability::cp); }),
        Single("Cpk", [](const PartStatistics& p) { return Index(p, &Capability::cpk); }),
        Single("Pp", [](const PartStatistics& p) { return TwoSidedIndex(p, &Capability::pp); }),
        Single("Ppk", [](const PartStatistics& p) { return Index(p, &Capability::ppk); }),
        {"Cpk 95%", {"Cpk 95% low", "Cpk 95% high"}, " to ", CpkInterval},
        {"ppm out (obs. / exp.)", {"ppm out observed", "ppm out expected"}, " / ", PpmOutside},
        Single("Mean", [](const PartStatistics& p) { return OfTheProcess(p, p.mean); }),
        Single("σ overall", [](const PartStatistics& p) { return Limit(p.sigmaOverall); }),
        Single("σ (MR)", [](const PartStatistics& p) { return Limit(p.sigmaMovingRange); }),
        Single("LCL",
               [](const PartStatistics& p) { return ControlLimit(p, &ControlLimits::lower); }),
        Single("CL", [](const PartStatistics& p) { return ControlLimit(p, &ControlLimits::mean); }),
        Single("UCL",
               [](const PartStatistics& p) { return ControlLimit(p, &ControlLimits::upper); }),
        Single("MR-bar",
               [](const PartStatistics& p) {
                   return ControlLimit(p, &ControlLimits::averageMovingRange);
               }),
        Single("UCL (MR)",
               [](const PartStatistics& p) {
                   return ControlLimit(p, &ControlLimits::movingRangeUpper);
               }),
        Single("Min", [](const PartStatistics& p) { return Limit(p.min); }),
        Single("Max", [](const PartStatistics& p) { return Limit(p.max); }),
        Single("Mean + 3σ", [](const PartStatistics& p) { return Limit(p.suggestedSetPoint); }),
        Single("Rule breaks", [](const PartStatistics& p) { return Count(p.ruleBreaks); }),
    };
    return columns;
}

// The column's values as the table shows them: "-" when there are none.
QString TableText(const Column& column, const PartStatistics& p) {
    std::vector<Value> values = column.values(p);
    if (std::all_of(values.begin(), values.end(),
                    [](const Value& v) { return v.kind == Value::Kind::None; }))
        return "-";
    QStringList texts;
    for (const Value& value : values)
        texts << value.text;
    return texts.join(column.joiner);
}

TypedCell SheetCell(const Value& value) {
    switch (value.kind) {
        case Value::Kind::Number:
            return value.number;
        case Value::Kind::Text:
            return value.text.toStdString();
        case Value::Kind::None:
            break;
    }
    return std::monostate{};
}

}  // namespace

QStringList StatisticsHeaders() {
    QStringList headers;
    for (const Column& column : Columns())
        headers << column.header;
    return headers;
}

QStringList StatisticsCells(const PartStatistics& part) {
    QStringList cells;
    for (const Column& column : Columns())
        cells << TableText(column, part);
    return cells;
}

std::vector<std::string> StatisticsSheetHeaders() {
    std::vector<std::string> headers;
    for (const Column& column : Columns())
        headers.insert(headers.end(), column.sheetHeaders.begin(), column.sheetHeaders.end());
    return headers;
}

TypedRow StatisticsSheetRow(const PartStatistics& part) {
    TypedRow row;
    for (const Column& column : Columns()) {
        for (const Value& value : column.values(part))
            row.push_back(SheetCell(value));
    }
    return row;
}

}  // namespace qm4250
