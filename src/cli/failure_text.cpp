#include "cli/failure_text.h"

#include "cli/escaped_text.h"
#include "formats/utf8.h"

namespace qm4250 {

namespace {

// Received text is single bytes.
std::string Shown(const std::string& latin1) {
    return ShownCell(Latin1ToUtf8(latin1));
}

std::string ReasonText(const UnwritableTest& test) {
    switch (test.reason) {
        case UnwritableTest::Reason::CellTooLong:
            break;
    }
    return "its " + test.field + " is longer than a cell holds (32,767 characters)";
}

}  // namespace

std::string UnwritableTestText(const UnwritableTest& test) {
    std::string which = "test Seq# " + Shown(test.seq);
    if (test.field != "PN")
        which += ", PN " + Shown(test.pn);
    if (test.serial)
        which += " of SN " + Shown(*test.serial);
    return which + ": " + ReasonText(test);
}

std::string PortFailureText(const PortFailure& failure) {
    switch (failure.kind) {
        case PortFailure::Kind::NoSuchPort:
            return "COMM " + std::to_string(failure.portNumber) + " is not a serial port number.";
        case PortFailure::Kind::NoPermission:
            return failure.device + ": " + failure.detail +
                   " (the user must be in the dialout group)";
        case PortFailure::Kind::NotOpen:
            return failure.device + ": the port is not open";
        case PortFailure::Kind::Platform:
            break;
    }
    return failure.device + ": " + failure.detail;
}

std::string FailureText(const Failure& failure) {
    const std::string sheet = "worksheet \"" + EscapedText(failure.object) + "\"";
    switch (failure.kind) {
        case Failure::Kind::System:
            return std::strerror(failure.errorNumber);
        case Failure::Kind::NothingToWrite:
            return "no tests selected";
        case Failure::Kind::NotAFile:
            return "the name is a folder's, or its links go round in a loop";
        case Failure::Kind::Writer:
            return "the file's writer failed";
        case Failure::Kind::Incomplete:
            return "the file written is not whole";
        case Failure::Kind::SheetName:
            return sheet + " is not a name a worksheet may have";
        case Failure::Kind::TooManyRows:
            return sheet + " has more rows than a .xls worksheet holds (65,536)";
        // Met only by the workbooks of typed cells, which the command line does not write.
        case Failure::Kind::SheetNameTaken:
        case Failure::Kind::TooManyWorksheets:
        case Failure::Kind::RowTooWide:
        case Failure::Kind::NotUtf8:
        case Failure::Kind::CellTooLong:
            break;
    }
    return sheet + " cannot be written";
}

std::string SaveFailureText(const SaveFailure& failure) {
    if (const auto* test = std::get_if<UnwritableTest>(&failure))
        return UnwritableTestText(*test);
    return FailureText(std::get<Failure>(failure));
}

std::string ExportFailureText(const ExportFailure& failure) {
    if (const auto* error = std::get_if<ArchiveError>(&failure))
        return ShownError(*error);
    if (const auto* test = std::get_if<UnwritableTest>(&failure))
        return UnwritableTestText(*test);
    return FailureText(std::get<Failure>(failure));
}

}  // namespace qm4250
