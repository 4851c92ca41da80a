#include "window/list_lines.h"

#include "protocol/field_format.h"

namespace qm4250 {

namespace {

constexpr std::string_view kThreeRelayCaption = "GP   BP   GE  ";
constexpr std::string_view kPellmarCaption = "GP  -Rej +Rej";

}  // namespace

std::string IdentificationLine(const Identification& identification) {
    std::string line = "SN = ";
    line.append(identification.serial).append("  Model: ").append(identification.modelName);
    return line;
}

std::string_view RelayCaption(const Identification& identification) {
    return IsPellmar(identification) ? kPellmarCaption : kThreeRelayCaption;
}

std::string ListLine(const TestRecord& record) {
    std::string line;
    line.reserve(80);
    line += PadRight(record.seq(), 6);
    line += PadRight(record.pn(), 4);
    line += PadRight(record.custCode(), 10);
    line += Pad(record.leak(), 8);
    line += Pad(ErrorText(record), 4);
    line += Pad(record.timeDate(), 20);
    line += "   ";
    line += PadRight(OnOffText(RelayOn(record, 2)), 5);
    line += PadRight(OnOffText(RelayOn(record, 3)), 5);
    line += PadRight(OnOffText(RelayOn(record, 4)), 3);
    return line;
}

}  // namespace qm4250
