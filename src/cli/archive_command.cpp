#include "cli/archive_command.h"

#include <QDateTime>
#include <QFileInfo>

#include "archive/archive_location.h"
#include "archive/sheet_import.h"
#include "archive/sheet_reader.h"
#include "archive/test_selection.h"
#include "archive/upload_archive.h"
#include "export/save_history_workbook.h"

namespace qm4250 {

const char* const kArchiveCommandHelp =
    "Usage: qm4250-archive                 (the archive window)\n"
    "       qm4250-archive import FILE... [--archive URL]\n"
    "       qm4250-archive export FILE [--instrument SERIAL] [--pn PN] [--cust CODE]\n"
    "                      [--from DATE] [--to DATE] [--rejects] [--archive URL]\n"
    "\n"
    "import  brings workbooks saved by qm4250-upload (.xls, .xlsx, .csv) into the archive; a\n"
    "        test already there is not added again. For each file: tests read, tests new, and\n"
    "        the rows skipped with the reason.\n"
    "export  writes the selected tests to FILE in the format its extension names, in the layout\n"
    "        qm4250-upload saves. DATE is YYYY-MM-DD, both ends included; --rejects selects\n"
    "        the tests with an error code or without the good-part relay.\n"
    "\n"
    "The archive: URL (postgresql://user@host/db, or a SQLite file), else QM4250_ARCHIVE, else\n"
    "the archive key of ~/.config/qm4250-upload/archive.ini, else\n"
    "~/.local/share/qm4250-upload/archive.sqlite.\n"
    "\n"
    "Exit status: 0 done; 1 a file or the archive could not be read or written; 2 bad arguments.\n";

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

struct Arguments {
    std::vector<std::string> files;
    QString archive;
    TestFilter filter;
    std::string error;
};

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
            parsed.filter.pn = value;
        } else if (word == "--cust") {
            parsed.filter.custCode = value;
        } else if (word == "--from" || word == "--to") {
            QDate date = QDate::fromString(value, "yyyy-MM-dd");
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

bool ImportFile(const ArchiveLocation& archive, const std::string& file, std::FILE* out,
                std::FILE* err) {
    QString error;
    std::optional<CellTable> sheet = ReadSheet(QString::fromStdString(file), error);
    if (!sheet) {
        std::fprintf(err, "qm4250-archive: %s: %s\n", file.c_str(), error.toStdString().c_str());
        return false;
    }
    ImportedSheet imported = HistoryFromSheet(*sheet);
    int32_t frames = imported.testsRead + (imported.history.identification ? 1 : 0);
    ArchiveResult result = StoreUpload(
        archive, {imported.history, "import:" + QFileInfo(QString::fromStdString(file)).fileName(),
                  frames, QDateTime::currentDateTimeUtc()});
    if (!result.written) {
        std::fprintf(err, "qm4250-archive: %s: archive not written: %s\n", file.c_str(),
                     result.reason.toStdString().c_str());
        return false;
    }
    std::fprintf(out, "%s: %d tests read, %d new, %zu rows skipped\n", file.c_str(),
                 imported.testsRead, result.newTests, imported.skipped.size());
    for (const std::string& why : imported.skipped)
        std::fprintf(out, "  %s\n", why.c_str());
    return true;
}

int Export(const ArchiveLocation& archive, const Arguments& arguments, std::FILE* out,
           std::FILE* err) {
    QString error;
    std::optional<History> selected = SelectTests(archive, arguments.filter, error);
    if (!selected) {
        std::fprintf(err, "qm4250-archive: the archive cannot be read: %s\n",
                     error.toStdString().c_str());
        return kFailed;
    }
    const std::string& file = arguments.files.front();
    if (SaveHistory(*selected, file) != SaveResult::Saved) {
        std::fprintf(err, "qm4250-archive: %s was not saved\n", file.c_str());
        return kFailed;
    }
    std::fprintf(out, "%zu tests written to %s\n", selected->records.size(), file.c_str());
    return kDone;
}

}  // namespace

int RunArchiveCommand(const std::vector<std::string>& words, std::FILE* out, std::FILE* err) {
    if (words.empty() || words[0] == "--help") {
        std::fputs(kArchiveCommandHelp, words.empty() ? err : out);
        return words.empty() ? kBadArguments : kDone;
    }
    Arguments arguments = Parse(words);
    bool import = words[0] == "import";
    if (arguments.error.empty() && !import && words[0] != "export")
        arguments.error = "unknown command " + words[0];
    if (arguments.error.empty() &&
        (arguments.files.empty() || (!import && arguments.files.size() > 1)))
        arguments.error = import ? "import needs a FILE" : "export takes one FILE";
    if (!arguments.error.empty()) {
        std::fprintf(err, "qm4250-archive: %s (see --help)\n", arguments.error.c_str());
        return kBadArguments;
    }
    std::optional<ArchiveLocation> archive = ChooseArchiveLocation(arguments.archive);
    if (!archive) {
        std::fprintf(err,
                     "qm4250-archive: the archive's location is not a URL this program knows\n");
        return kBadArguments;
    }
    if (!import)
        return Export(*archive, arguments, out, err);
    bool all = true;
    for (const std::string& file : arguments.files)
        all = ImportFile(*archive, file, out, err) && all;
    return all ? kDone : kFailed;
}

}  // namespace qm4250
