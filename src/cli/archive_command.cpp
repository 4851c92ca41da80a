#include "cli/archive_command.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/capability.h"
#include "analysis/chart_judgement.h"
#include "archive/archive_location.h"
#include "archive/archive_sheet_file.h"
#include "archive/iso_date.h"
#include "archive/part_limits.h"
#include "archive/selection_export.h"
#include "cli/archive_waiting.h"
#include "cli/escaped_text.h"
#include "cli/failure_text.h"
#include "cli/import_report.h"
#include "cli/limits_command.h"
#include "formats/file_format.h"
#include "version.h"

namespace qm4250 {

const char* const kArchiveCommandHelp =
    "Usage: qm4250-archive                 (the archive window)\n"
    "       qm4250-archive import FILE... [--archive URL]\n"
    "       qm4250-archive export FILE [--instrument SERIAL] [--pn PN]... [--cust CODE]\n"
    "                      [--from DATE] [--to DATE] [--rejects] [--archive URL]\n"
    "       qm4250-archive report FILE.pdf [the same options as export] [--rules RULES]\n"
    "       qm4250-archive limits PN [--upper X [--lower Y]] [--unit UNIT] [--archive URL]\n"
    "       qm4250-archive --help          (this text)\n"
    "       qm4250-archive --version       (its version)\n"
    "\n"
    "import  brings workbooks saved by qm4250-upload or exported (.xls, .xlsx, .csv) into the\n"
    "        archive; a test already there is not added again. For each file: tests read, tests\n"
    "        new, and the rows skipped with the reason.\n"
    "export  writes the selected tests to FILE in the format its extension names, in the layout\n"
    "        qm4250-upload saves; tests of several instruments go to one worksheet each, or in\n"
    "        a .csv each after its instrument's identification row. --pn may be given more\n"
    "        than once. DATE is YYYY-MM-DD, both ends included; --rejects selects the tests\n"
    "        with an error code or without the good-part relay.\n"
    "report  writes a PDF of one A4 page per part number of the selection: its control chart\n"
    "        with labelled limits, moving-range chart, histogram and statistics, with the\n"
    "        filter, the archive and the time of the report. --rules chooses the run rules,\n"
    "        WE1 to WE4 and N1 to N8 joined by commas, or none (WE1,WE4 when not given).\n"
    "        Nothing selected: no file, exit status 1.\n"
    "limits  sets a part number's tolerance limits: the upper limit (the reject set point)\n"
    "        and, where there is one, a lower limit below it; --unit names the unit its leak\n"
    "        is measured in (sccm, mbar l/s; '' for none), alone or with the limits. Every\n"
    "        change is kept with who made it and when; the latest stands. Without --upper or\n"
    "        --unit, shows the limits and their changes. A PN without tests is warned of.\n"
    "\n"
    "The archive: URL (postgresql://user@host/db, or a SQLite file), else QM4250_ARCHIVE, else\n"
    "the archive key of ~/.config/qm4250-upload/archive.ini, else that of\n"
    "/etc/xdg/qm4250-upload/archive.ini, else ~/.local/share/qm4250-upload/archive.sqlite.\n"
    "\n"
    "Exit status: 0 done, every file read whole; 1 a row skipped, or a file or the archive could\n"
    "not be read or written; 2 bad arguments or a location that is not an archive's.\n";

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

struct Arguments {
    std::vector<std::string> files;
    QString archive;
    TestFilter filter;
    LimitsArguments limits;
    std::vector<RunRule> rules = kDefaultRunRules;
    std::string error;
};

// The run rules as typed: "WE1,WE4,N3" (any case), or "none".
std::optional<std::vector<RunRule>> RulesArgument(const QString& text) {
    static const std::map<QString, RunRule> kNames{
        {"WE1", RunRule::WesternElectric1}, {"WE2", RunRule::WesternElectric2},
        {"WE3", RunRule::WesternElectric3}, {"WE4", RunRule::WesternElectric4},
        {"N1", RunRule::Nelson1},           {"N2", RunRule::Nelson2},
        {"N3", RunRule::Nelson3},           {"N4", RunRule::Nelson4},
        {"N5", RunRule::Nelson5},           {"N6", RunRule::Nelson6},
        {"N7", RunRule::Nelson7},           {"N8", RunRule::Nelson8}};
    std::vector<RunRule> rules;
    if (text.compare("none", Qt::CaseInsensitive) == 0)
        return rules;
    for (const QString& name : text.split(',')) {
        auto found = kNames.find(name.trimmed().toUpper());
        if (found == kNames.end())
            return std::nullopt;
        if (std::find(rules.begin(), rules.end(), found->second) == rules.end())
            rules.push_back(found->second);
    }
    return rules;
}

// A limit as typed: a finite number in the C locale.
std::optional<double> LimitArgument(const QString& text) {
    bool ok = false;
    double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

Arguments Parse(const std::vector<std::string>& words) {
    Arguments parsed;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--rejects") {
            parsed.filter.rejectsOnly = true;
            continue;
        }
        if (word.rfind("--", 0) != 0) {
            parsed.files.push_back(word);
            continue;
        }
        if (i + 1 == words.size()) {
            parsed.error = word + " needs a value";
            return parsed;
        }
        QString value = QString::fromStdString(words[++i]);
        if (word == "--archive") {
            parsed.archive = value;
        } else if (word == "--instrument") {
            parsed.filter.instrument = value;
        } else if (word == "--pn") {
            parsed.filter.pns << value;
        } else if (word == "--cust") {
            parsed.filter.custCode = value;
        } else if (word == "--upper" || word == "--lower") {
            std::optional<double> limit = LimitArgument(value);
            if (!limit)
                parsed.error = word + " takes a number, not " + words[i];
            (word == "--upper" ? parsed.limits.upper : parsed.limits.lower) = limit;
        } else if (word == "--unit") {
            if (!IsLeakUnit(value))
                parsed.error = "--unit takes at most " + std::to_string(kLeakUnitMostCharacters) +
                               " printable characters, without blanks around them";
            parsed.limits.unit = value;
        } else if (word == "--rules") {
            std::optional<std::vector<RunRule>> rules = RulesArgument(value);
            if (!rules)
                parsed.error =
                    "--rules takes WE1 to WE4 and N1 to N8 joined by commas, or none, "
                    "not " +
                    words[i];
            parsed.rules = rules.value_or(kDefaultRunRules);
        } else if (word == "--from" || word == "--to") {
            QDate date = IsoDate(value);
            if (!date.isValid())
                parsed.error = word + " takes a date as YYYY-MM-DD, not " + words[i];
            (word == "--from" ? parsed.filter.from : parsed.filter.to) = date;
        } else {
            parsed.error = "unknown option " + word;
        }
        if (!parsed.error.empty())
            return parsed;
    }
    return parsed;
}

const char* FormatName(const std::string& file) {
    switch (FormatForFileName(file)) {
        case FileFormat::Xlsx:
            return ".xlsx";
        case FileFormat::Csv:
            return ".csv";
        case FileFormat::Xls:
            break;
    }
    return ".xls";
}

// Why a file could not be read, after its name. The reader's detail may quote the file's own
// names (a sheet, a zip part): escaped as the name is.
std::string ReadErrorText(const std::string& file, const SheetReadError& error) {
    std::string detail = EscapedText(error.detail);
    switch (error.kind) {
        case SheetReadError::Kind::CannotOpen:
            return "cannot be opened: " + detail;
        case SheetReadError::Kind::NotAFile:
            return "not a regular file (" + detail + ")";
        case SheetReadError::Kind::Unreadable:
            return "cannot be read: " + detail;
        case SheetReadError::Kind::Damaged:
            return std::string("cannot be read (damaged ") + FormatName(file) + ": " + detail + ")";
        case SheetReadError::Kind::Unsupported:
            return std::string("cannot be read (") + FormatName(file) +
                   " not supported: " + detail + ")";
        case SheetReadError::Kind::TooLarge:
            break;
    }
    return "cannot be read (too large: " + detail + ")";
}

// Whether the file was read whole into the archive, nothing of it skipped.
bool ImportFile(const ArchiveLocation& archive, const std::string& file, std::FILE* out,
                std::FILE* err) {
    std::string name = EscapedText(file);
    SheetArchiveResult imported =
        ArchiveSheetFile(file, archive, QDateTime::currentDateTimeUtc(),
                         WaitingLine(err, "qm4250-archive: " + name + ": ", archive.retryForMs));
    switch (imported.outcome) {
        case SheetArchiveResult::Outcome::CannotRead:
            std::fprintf(err, "qm4250-archive: %s: %s\n", name.c_str(),
                         ReadErrorText(file, *imported.readError).c_str());
            return false;
        case SheetArchiveResult::Outcome::NotAHistorySheet:
            std::fprintf(err, "qm4250-archive: %s: not a QM4250 history sheet (no SEQ# header)\n",
                         name.c_str());
            return false;
        case SheetArchiveResult::Outcome::NotArchived:
            std::fprintf(err, "qm4250-archive: %s: archive not written: %s\n", name.c_str(),
                         ShownError(*imported.archiveError).c_str());
            return false;
        case SheetArchiveResult::Outcome::Imported:
            break;
    }
    for (const std::string& line : ImportReport(file, imported))
        std::fprintf(out, "%s\n", line.c_str());
    return imported.rowsSkipped == 0 && imported.sheetsPassedOver.empty();
}

int Export(const ArchiveLocation& archive, const Arguments& arguments, std::FILE* out,
           std::FILE* err) {
    const std::string& file = arguments.files.front();
    Result<size_t, ExportFailure> exported = ExportSelection(archive, arguments.filter, file);
    if (!exported && std::holds_alternative<ArchiveError>(exported.error())) {
        std::fprintf(err, "qm4250-archive: the archive cannot be read: %s\n",
                     ExportFailureText(exported.error()).c_str());
        return kFailed;
    }
    if (!exported) {
        std::fprintf(err, "qm4250-archive: %s was not saved: %s\n", EscapedText(file).c_str(),
                     ExportFailureText(exported.error()).c_str());
        return kFailed;
    }
    std::fprintf(out, "%zu tests written to %s\n", exported.value(), EscapedText(file).c_str());
    return kDone;
}

int Report(const ArchiveLocation& archive, const Arguments& arguments, const ReportWriter& report,
           std::FILE* out, std::FILE* err) {
    const std::string& file = arguments.files.front();
    if (Result<void, ExportFailure> written =
            report(archive, arguments.filter, arguments.rules, QString::fromStdString(file));
        !written) {
        std::fprintf(err, "qm4250-archive: the report was not written: %s\n",
                     ExportFailureText(written.error()).c_str());
        return kFailed;
    }
    std::fprintf(out, "report written to %s\n", EscapedText(file).c_str());
    return kDone;
}

}  // namespace

int RunArchiveCommand(const std::vector<std::string>& words, std::FILE* out, std::FILE* err,
                      const ReportWriter& report) {
    if (words.empty() || words[0] == "--help") {
        std::fputs(kArchiveCommandHelp, words.empty() ? err : out);
        return words.empty() ? kBadArguments : kDone;
    }
    if (words[0] == "--version") {
        std::fprintf(out, "qm4250-archive %s\n", kVersion);
        return kDone;
    }
    Arguments arguments = Parse(words);
    const std::string& command = words[0];
    bool import = command == "import";
    bool reporting = command == "report" && report;
    bool limits = command == "limits";
    if (arguments.error.empty() && !import && command != "export" && !reporting && !limits)
        arguments.error = "unknown command " + command;
    if (arguments.error.empty() && limits && arguments.limits.lower && !arguments.limits.upper)
        arguments.error = "--lower needs --upper: the reject set point is the upper limit";
    if (arguments.error.empty() && limits &&
        !LimitsInOrder(arguments.limits.lower, arguments.limits.upper))
        arguments.error = "--lower must be below --upper";
    if (arguments.error.empty() &&
        (arguments.files.empty() || (!import && arguments.files.size() > 1)))
        arguments.error = import   ? "import needs a FILE"
                          : limits ? "limits takes one PN"
                                   : command + " takes one FILE";
    // The error quotes the argument it refuses.
    if (!arguments.error.empty()) {
        std::fprintf(err, "qm4250-archive: %s (see --help)\n",
                     EscapedText(arguments.error).c_str());
        return kBadArguments;
    }
    ChosenLocation chosen = ChooseArchiveLocation(arguments.archive);
    if (!chosen.location) {
        std::fprintf(err, "qm4250-archive: %s\n",
                     EscapedText(NotALocationText(chosen.text).toStdString()).c_str());
        return kBadArguments;
    }
    const std::optional<ArchiveLocation>& archive = chosen.location;
    if (!archive->password.isEmpty())
        std::fprintf(err, "qm4250-archive: %s\n", kPasswordWarning);
    if (reporting)
        return Report(*archive, arguments, report, out, err);
    if (limits)
        return RunLimitsCommand(*archive, QString::fromStdString(arguments.files.front()),
                                arguments.limits, out, err)
                   ? kDone
                   : kFailed;
    if (!import)
        return Export(*archive, arguments, out, err);
    bool all = true;
    for (const std::string& file : arguments.files)
        all = ImportFile(*archive, file, out, err) && all;
    return all ? kDone : kFailed;
}

}  // namespace qm4250
