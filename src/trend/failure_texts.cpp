#include "trend/failure_texts.h"

#include <algorithm>
#include <cstring>

namespace qm4250 {

namespace {

// A received field as a message quotes it: its first 40 characters, "…" when there is more.
QString Quoted(const std::string& latin1) {
    constexpr size_t kShown = 40;
    return QString::fromLatin1(latin1.data(),
                               static_cast<qsizetype>(std::min(latin1.size(), kShown))) +
           (latin1.size() > kShown ? "\u2026" : "");
}

QString UnwritableTestText(const UnwritableTest& test) {
    QString which = "test Seq# " + Quoted(test.seq);
    if (test.field != "PN")
        which += ", PN " + Quoted(test.pn);
    if (test.serial)
        which += " of SN " + Quoted(*test.serial);
    switch (test.reason) {
        case UnwritableTest::Reason::CellTooLong:
            break;
    }
    return which + ": its " + QString::fromStdString(test.field) +
           " is longer than a cell holds (32,767 characters)";
}

QString FailureText(const Failure& failure) {
    const QString sheet = "worksheet \"" + QString::fromStdString(failure.object) + "\"";
    switch (failure.kind) {
        case Failure::Kind::System:
            return QString::fromLocal8Bit(std::strerror(failure.errorNumber));
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
        case Failure::Kind::SheetNameTaken:
            return sheet + " is there twice";
        case Failure::Kind::TooManyWorksheets:
            return sheet + " would take more than 10,000 worksheets";
        case Failure::Kind::TooManyRows:
            return sheet + " has more rows than a .xls worksheet holds (65,536)";
        case Failure::Kind::RowTooWide:
            return sheet + ": a row has more cells than a worksheet's 16,384 columns";
        case Failure::Kind::NotUtf8:
            return sheet + ": a text is not UTF-8";
        case Failure::Kind::CellTooLong:
            return sheet + ": a text is longer than a cell holds (32,767 characters)";
    }
    return {};
}

QString BaselineRefusalText(const BaselineRefusal& cause) {
    if (const auto* error = std::get_if<ArchiveError>(&cause))
        return ArchiveErrorText(*error);
    const auto& noRange = std::get<NoMovingRange>(cause);
    return QString(
               "the baseline (%1) holds %2 tests that make limits, no two of them one after "
               "the other; limits need a moving range")
        .arg(BaselineText(noRange.baseline))
        .arg(noRange.kept);
}

}  // namespace

QString NotReadText(const ArchiveError& error) {
    return "The archive cannot be read: " + ArchiveErrorText(error);
}

QString RefusalText(const JudgingRefusal& refusal) {
    QString why = BaselineRefusalText(refusal.cause);
    switch (refusal.change) {
        case JudgingRefusal::Change::Tolerance:
            return "The tolerance limits were not kept: " + why;
        case JudgingRefusal::Change::Freeze:
            return "The limits were not frozen: " + why;
        case JudgingRefusal::Change::Thaw:
            return "The limits were not thawed: " + why;
        case JudgingRefusal::Change::LeaveOut:
            return "The test was not left out: " + why;
        case JudgingRefusal::Change::TakeBack:
            return "The test was not taken back: " + why;
    }
    return why;
}

QString ExportFailureText(const ExportFailure& failure, const QString& path) {
    if (const auto* error = std::get_if<ArchiveError>(&failure))
        return ArchiveErrorText(*error);
    if (const auto* test = std::get_if<UnwritableTest>(&failure))
        return path + ": " + UnwritableTestText(*test);
    const Failure& file = std::get<Failure>(failure);
    if (file.kind == Failure::Kind::NothingToWrite)
        return FailureText(file);
    return path + ": " + FailureText(file);
}

}  // namespace qm4250
