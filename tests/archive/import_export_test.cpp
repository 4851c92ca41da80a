// Workbooks back into the archive, and selections of the archive out to workbooks.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <QSqlQuery>

#include "archive/archive_connection.h"
#include "archive/selection_export.h"
#include "cli/archive_command.h"
#include "cli/import_report.h"
#include "export/save_history_workbook.h"
#include "history_rows.h"
#include "protocol/field_format.h"
#include "sheet_read_back.h"
#include "test_archives.h"
#include "version.h"
#include "xlsx_zip.h"

using namespace qm4250;

namespace {

History Saved() {
    return HistoryOf({"1Q77", "11,P;X,C1,0.0012,N,0,28", "12,PN2,C\"2,-0.5,7,86399,1",
                      "13,PN3,,,,126230400,29", "14,\xE9t\xE9,C4,1e-3,N,2147483647,0"});
}

TEST(Import, RowsThatCannotBeReadAreSkippedAndSaid) {
    QTemporaryDir folder;
    QString path = folder.path() + "/edited.csv";
    std::ofstream(path.toStdString())
        << "SEQ#,PN,Cust Code,Leak,Error,Time/Date,GPRelay,BPRelay,GERelay\r\n"
        << "SN = 9,Model: Norvik,,,,,,,\r\n"
        << "1,P,C,0.1,,Jan 01/04 00:00:00,On,Off,Off\r\n"
        << "2,P,C,0.1,,Feb 30/04 00:00:00,On,Off,Off\r\n"
        << "3,P,C,0.1,,Jan 01/04 00:00:09,Maybe,Off,Off\r\n"
        << "QM 4250 Power UP,,,,,,,,\r\n"
        << "4,P,C,0.1,E,Jan 01/04 00:00:10,On,Off,Off\r\n"
        << "5,P,C,0.1,*E,Jan 01/27 23:59:59,Off,On,On\r\n";
    ReadBack imported = ReadHistoryFile(path.toStdString());
    EXPECT_EQ(imported.testsRead, 2u);
    std::vector<std::string> said;
    for (const SkippedRow& skipped : imported.skipped)
        said.push_back(SkippedRowText(skipped));
    EXPECT_EQ(said, (std::vector<std::string>{
                        "row 4: the time/date \"Feb 30/04 00:00:00\" is not one the instrument "
                        "writes",
                        "row 5: relay cell G \"Maybe\" is neither On nor Off",
                        "row 7: the error cell \"E\" is neither empty nor *code"}));
    EXPECT_EQ(imported.history.records.back().relays(), 24);
}

using Rows = std::vector<std::vector<std::string>>;

const std::vector<std::string> kHeader{"SEQ#",      "PN",      "Cust Code", "Leak",   "Error",
                                       "Time/Date", "GPRelay", "BPRelay",   "GERelay"};

// The rows as a .csv, and as the <sheetData> of an .xlsx of inline strings.
std::string CsvOf(const Rows& rows) {
    std::string csv;
    for (const std::vector<std::string>& row : rows) {
        for (size_t column = 0; column < row.size(); ++column)
            csv += (column ? "," : "") + row[column];
        csv += "\n";
    }
    return csv;
}

std::string SheetDataOf(const Rows& rows) {
    std::string sheetData;
    for (const std::vector<std::string>& row : rows) {
        sheetData += "<row>";
        for (const std::string& cell : row)
            sheetData += "<c t=\"inlineStr\"><is><t>" + cell + "</t></is></c>";
        sheetData += "</row>";
    }
    return sheetData;
}

// The rows in the format the name's extension says, .csv or .xlsx.
void WriteRows(const std::string& path, const Rows& rows) {
    if (path.ends_with(".csv"))
        std::ofstream(path, std::ios::binary) << CsvOf(rows);
    else
        ASSERT_TRUE(WriteZip(path, XlsxParts(SheetDataOf(rows))));
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A long sheet's tests go into the archive in batches as it is read: a power-up marker still
// reaches the test above it across a batch's end, and a file found damaged after thousands of
// tests leaves nothing of itself, whether its XML breaks off or its CRC fails once the XML is
// whole; the import goes on with the next file.
TEST(Import, LongSheetsAreWrittenInBatchesAndWhollyOrNotAtAll) {
    Rows rows{kHeader, {"SN = 9", "Model: Norvik"}};
    for (int k = 1; k <= 25'000; ++k) {
        rows.push_back({std::to_string(k), "P", "C", "0.1", "",
                        std::string(TimeDateOf(1000 * k).view()), "On", "Off", "Off"});
        if (k == 10'000)
            rows.push_back({"QM 4250 Power UP"});
    }
    QTemporaryDir folder;
    auto path = [&](const char* name) { return (folder.path() + "/" + name).toStdString(); };
    std::string good = path("good.csv"), cut = path("cut.xlsx"), changed = path("changed.xlsx");
    WriteRows(good, rows);
    std::vector<ZipPart> parts = XlsxParts(SheetDataOf(rows));
    ASSERT_TRUE(WriteZip(changed, parts, 0));
    parts[0].second.resize(parts[0].second.size() - 20);
    ASSERT_TRUE(WriteZip(cut, parts));
    std::string stored = Bytes(changed);
    stored.replace(stored.find("<t>12345</t>"), 12, "<t>12346</t>");
    std::ofstream(changed, std::ios::binary) << stored;
    std::string archive = path("a.sqlite");
    ASSERT_EQ(RunArchiveCommand({"import", good, "--archive", archive}, stdout, stderr), 0);
    for (const std::string& damaged : {cut, changed}) {
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(RunArchiveCommand({"import", damaged, good, "--archive", archive}, stdout, err),
                  1);
        std::rewind(err);
        char line[512] = {};
        EXPECT_TRUE(std::fgets(line, sizeof line, err));
        std::fclose(err);
        EXPECT_EQ(std::string(line).find("qm4250-archive: " + damaged + ": cannot be read"), 0u)
            << line;
    }
    ArchiveConnection connection(SqliteAt(QString::fromStdString(archive)),
                                 ArchiveConnection::Access::Read);
    QSqlQuery query(connection.db());
    ASSERT_TRUE(
        query.exec("SELECT COUNT(*), SUM(power_up), MAX(CASE WHEN seq = '10000'"
                   " THEN power_up END), (SELECT COUNT(*) FROM uploads),"
                   " (SELECT COUNT(*) FROM uploads WHERE device LIKE '%.xlsx') FROM tests") &&
        query.next());
    EXPECT_EQ(query.value(0).toInt(), 25'000);
    EXPECT_EQ(query.value(1).toInt(), 1);
    EXPECT_EQ(query.value(2).toInt(), 1);
    EXPECT_EQ(query.value(4).toInt(), 0) << "nothing of the damaged files";
}

// A test with a cell longer than a worksheet cell holds is skipped and said, whichever format it
// comes in: its length counted in UTF-16 code units, as Excel counts it.
TEST(Import, CellsLongerThanAWorksheetCellHoldsAreSkipped) {
    const std::string emoji = "\U0001F600";  // two UTF-16 code units
    auto times = [](const std::string& text, size_t count) {
        std::string repeated;
        for (size_t k = 0; k < count; ++k)
            repeated += text;
        return repeated;
    };
    struct Case {
        const char* name;
        std::string pn;
        bool skipped;
    };
    const std::vector<Case> cases{
        {"32,767 characters", std::string(32'767, 'x'), false},
        {"32,768 characters", std::string(32'768, 'x'), true},
        {"32,767 code units", times(emoji, 16'383) + "x", false},
        {"32,768 code units", times(emoji, 16'384), true},
    };
    QTemporaryDir folder;
    for (const char* extension : {".csv", ".xlsx"}) {
        for (const Case& c : cases) {
            std::string path = (folder.path() + "/long").toStdString() + extension;
            WriteRows(path, {kHeader,
                             {"SN = 9", "Model: Norvik"},
                             {"1", c.pn, "C", "0.1", "", "Jan 01/04 00:00:00", "On", "Off", "Off"},
                             {"2", "P", "C", "0.1", "", "Jan 01/04 00:00:01", "On", "Off", "Off"}});
            ReadBack imported = ReadHistoryFile(path);
            std::string which = std::string(extension) + ", " + c.name;
            EXPECT_FALSE(imported.error) << which;
            EXPECT_EQ(imported.testsRead, c.skipped ? 1u : 2u) << which;
            ASSERT_EQ(imported.skipped.size(), c.skipped ? 1u : 0u) << which;
            if (!c.skipped)
                continue;
            std::string said = SkippedRowText(imported.skipped[0]);
            EXPECT_NE(said.find("row 3: cell B \""), std::string::npos) << which << ": " << said;
            EXPECT_TRUE(
                said.ends_with("…\" is longer than a worksheet cell holds (32,767 characters)"))
                << which << ": " << said;
        }
    }
}

// The command end to end on a SQLite archive: import, then selections with hostile text.
TEST(ArchiveCommand, ImportsOnceAndExportsExactlyTheSelection) {
    QTemporaryDir folder;
    std::string archive = (folder.path() + "/a.sqlite").toStdString();
    std::string workbook = (folder.path() + "/h.xlsx").toStdString();
    ASSERT_TRUE(SaveHistory(Saved(), workbook).ok());
    std::FILE* out = std::tmpfile();
    auto run = [&](std::vector<std::string> words) {
        words.insert(words.end(), {"--archive", archive});
        return RunArchiveCommand(words, out, out);
    };
    EXPECT_EQ(run({"import", workbook, workbook}), 0);
    struct Selection {
        std::vector<std::string> filter;
        size_t tests;
    };
    for (const Selection& s :
         std::vector<Selection>{{{}, 4},
                                {{"--pn", "P;X"}, 1},
                                {{"--pn", "P%"}, 0},
                                {{"--pn", "x' OR '1'='1"}, 0},
                                {{"--instrument", "77", "--rejects"}, 3},
                                {{"--from", "2004-01-02", "--to", "2008-01-01"}, 1}}) {
        std::string target = (folder.path() + "/s.csv").toStdString();
        std::vector<std::string> words{"export", target};
        words.insert(words.end(), s.filter.begin(), s.filter.end());
        ASSERT_EQ(run(words), 0);
        ReadBack exported = ReadHistoryFile(target);
        EXPECT_EQ(exported.history.records.size(), s.tests)
            << (s.filter.empty() ? "" : s.filter[1]);
    }
    std::rewind(out);
    char line[512];
    std::string report;
    while (std::fgets(line, sizeof line, out))
        report += line;
    std::fclose(out);
    EXPECT_NE(report.find("h.xlsx: 4 tests read, 4 new, 0 rows skipped"), std::string::npos)
        << report;
    EXPECT_NE(report.find("h.xlsx: 4 tests read, 0 new, 0 rows skipped"), std::string::npos)
        << report;
}

struct CommandRun {
    int status;
    std::string out;  // stdout, then stderr
};

CommandRun RunImport(std::vector<std::string> words) {
    std::FILE* out = std::tmpfile();
    CommandRun run{RunArchiveCommand(words, out, out), {}};
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;)
        run.out += static_cast<char>(c);
    std::fclose(out);
    return run;
}

// A PN's limits from the command line: set, shown with the change before, refused when unsound.
TEST(ArchiveCommand, LimitsAreSetShownAndCheckedByTheCommand) {
    QTemporaryDir folder;
    std::string archive = (folder.path() + "/a.sqlite").toStdString();
    auto run = [&](std::vector<std::string> words) {
        words.insert(words.begin(), "limits");
        words.insert(words.end(), {"--archive", archive});
        return RunImport(words);
    };
    QByteArray user = qgetenv("USER");
    qputenv("USER", "mallory");
    EXPECT_EQ(run({"P-1", "--upper", "0.005"}).status, 0);
    EXPECT_EQ(run({"P-1", "--upper", "0.004", "--lower", "0.001"}).status, 0);
    qputenv("USER", user);
    CommandRun shown = run({"P-1"});
    EXPECT_EQ(shown.status, 0);
    const std::string by = ChangesMadeBy(SqliteAt("")).toStdString();
    EXPECT_EQ(
        shown.out.rfind("PN P-1: upper 0.004, lower 0.001, no unit, set by " + by + " at ", 0), 0u)
        << shown.out;
    EXPECT_NE(shown.out.find("\n  before: upper 0.005, lower none, no unit, set by " + by + " at "),
              std::string::npos)
        << shown.out;
    EXPECT_EQ(run({"P-2"}).out, "PN P-2: no limits set\n");
    for (std::vector<std::string> bad : {std::vector<std::string>{"P-1", "--upper", "abc"},
                                         {"P-1", "--lower", "0.001"},
                                         {"P-1", "--upper", "inf"},
                                         {"--upper", "0.005"}})
        EXPECT_EQ(run(bad).status, 2) << bad.back();
}

// Scripts can trust the status: 0 only when every file was read whole; what was skipped is said
// on one line a row, its cell escaped and cut, and past 20 rows only counted.
TEST(ArchiveCommand, ImportReportsAndStatuses) {
    QTemporaryDir folder;
    std::string archive = (folder.path() + "/a.sqlite").toStdString();
    auto file = [&](const std::string& name, const std::string& bytes) {
        std::string path = QFile::encodeName(folder.path()).toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    };
    const std::string header = "SEQ#;PN;Cust Code;Leak;Error;Time/Date;GPRelay;BPRelay;GERelay\r\n";
    std::string bad = header;
    for (int k = 1; k <= 25; ++k)
        bad += std::to_string(k) + ";P;C;0.1;;\"\x1B[31m\\" + std::string(50, 'x') +
               "\";On;Off;Off\r\n";
    struct Case {
        std::vector<std::string> words;
        int status;
        std::vector<std::string> lines;  // each found in the output
    };
    for (const Case& c : std::vector<Case>{
             {{"import", file("\xE9t\xE9.csv", "\xEF\xBB\xBF" + header +
                                                   "1;P;C;0.1;;Jan 01/04 00:00:00;On;Off;Off\r\n")},
              0,
              {"\\xE9t\\xE9.csv: 1 tests read, 1 new, 0 rows skipped\n"}},
             {{"import",
               file("w.csv", header + "2;caf\xE9;C;0.1;;Jan 01/04 00:00:00;On;Off;Off\n")},
              0,
              {"w.csv: 1 tests read, 1 new, 0 rows skipped, 1 rows read as Windows-1252\n"}},
             {{"import", file("bad.csv", bad)},
              1,
              {"bad.csv: 0 tests read, 0 new, 25 rows skipped\n",
               "  row 2: the time/date \"\\x1B[31m\\\\" + std::string(34, 'x') +
                   "…\" is not one the instrument writes\n",
               "  row 21: the time/date", "  … and 5 more rows skipped for the same reasons\n"}},
             {{"import", file("other.csv", "a,b\n"), file("ok.csv", header)},
              1,
              {"other.csv: not a QM4250 history sheet (no SEQ# header)\n",
               "ok.csv: 0 tests read, 0 new, 0 rows skipped\n"}},
             {{"import", folder.path().toStdString() + "/missing.csv"}, 1, {"missing.csv: cannot"}},
             {{"import"}, 2, {"import needs a FILE"}},
         }) {
        std::vector<std::string> words = c.words;
        words.insert(words.end(), {"--archive", archive});
        CommandRun run = RunImport(words);
        EXPECT_EQ(run.status, c.status) << run.out;
        for (const std::string& line : c.lines)
            EXPECT_NE(run.out.find(line), std::string::npos) << line << "\nin:\n" << run.out;
        EXPECT_EQ(run.out.find("row 22:"), std::string::npos) << run.out;
    }
}

// A test a workbook cannot hold keeps the workbook from being written, and is named with why,
// by the history's save and by the selection's export, whose command says so.
TEST(Export, ATestAWorkbookCannotHoldIsNamedWithWhy) {
    const std::string tooLong(32'768, 'x');
    struct Case {
        const char* file;
        bool selection;  // exported from the archive, else the history saved
        TestRecord test;
        std::string field;
    };
    const std::vector<Case> cases{
        {"h.xls", false, MakeRecord("123", tooLong, "C", "0.1", "N", "Jan 01/04 00:00:00", 28),
         "PN"},
        {"h.xlsx", false, MakeRecord("124", "P", "C", "0.1", tooLong, "Jan 01/04 00:00:00", 28),
         "Error"},
        {"s.xls", true, MakeRecord("125", "P", tooLong, "0.1", "N", "Jan 01/04 00:00:00", 28),
         "Cust Code"},
        {"s.xlsx", true, MakeRecord(tooLong, "P", "C", "0.1", "N", "Jan 01/04 00:00:00", 28),
         "SEQ#"},
    };
    QTemporaryDir folder;
    for (const Case& c : cases) {
        History history;
        history.identification = Identification{"4711", "S", "Norvik"};
        history.records = {MakeRecord("1", "P", "C", "0.1", "N", "Jan 01/04 00:00:00", 28), c.test};
        std::string file = (folder.path() + "/").toStdString() + c.file;
        ArchiveLocation archive = SqliteAt(folder.path() + "/" + c.file + ".sqlite");
        std::optional<UnwritableTest> unwritable;
        if (c.selection) {
            ASSERT_EQ(Why(StoreUpload(archive, {history, "", 3, QDateTime::currentDateTimeUtc()})),
                      "");
            Result<size_t, ExportFailure> exported = ExportSelection(archive, TestFilter{}, file);
            ASSERT_FALSE(exported) << c.file;
            if (const auto* test = std::get_if<UnwritableTest>(&exported.error()))
                unwritable = *test;
        } else {
            SaveResult saved = SaveHistory(history, file);
            ASSERT_FALSE(saved) << c.file;
            if (const auto* test = std::get_if<UnwritableTest>(&saved.error()))
                unwritable = *test;
        }
        ASSERT_TRUE(unwritable) << c.file;
        EXPECT_EQ(unwritable->serial, "4711") << c.file;
        EXPECT_EQ(unwritable->seq, c.test.seq()) << c.file;
        EXPECT_EQ(unwritable->pn, c.test.pn()) << c.file;
        EXPECT_EQ(unwritable->field, c.field) << c.file;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(file))) << c.file;
    }
    std::string archive = (folder.path() + "/s.xls.sqlite").toStdString();
    std::string file = (folder.path() + "/again.xls").toStdString();
    EXPECT_EQ(RunImport({"export", file, "--archive", archive}).out,
              "qm4250-archive: " + file +
                  " was not saved: test Seq# 125, PN P of SN 4711: its Cust Code is longer than a "
                  "cell holds (32,767 characters)\n");
}

struct ProgramRun {
    int status;
    std::string out, err;
};

// qm4250-archive as cron or `su` runs it: no runtime folder, no display; `environment` adds to
// that.
ProgramRun RunArchiveProgram(const QStringList& arguments, const QStringList& environment = {}) {
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                             "QT_LOGGING_RULES", "PGOPTIONS"})
        variables.remove(name);
    for (const QString& variable : environment)
        variables.insert(variable.section('=', 0, 0), variable.section('=', 1));
    QProcess program;
    program.setProcessEnvironment(variables);
    program.start(QM4250_ARCHIVE_EXECUTABLE, arguments);
    program.waitForFinished(60'000);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput().toStdString(),
            program.readAllStandardError().toStdString()};
}

// Its version, as qm4250-upload says its own, and nothing else.
TEST(ArchiveProgram, SaysItsVersion) {
    ProgramRun run = RunArchiveProgram({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("qm4250-archive ") + kVersion + "\n");
    EXPECT_EQ(run.err, "");
}

// Run as cron or `su` runs it, the report (a GUI application, which looks for its runtime
// folder) says nothing of Qt's own; asked for, Qt's messages come back. Each message Qt is kept
// from saying is in qt_messages_test.
TEST(ArchiveProgram, KeepsQtsNoiseOffTheTerminalUnlessAskedFor) {
    QTemporaryDir folder;
    std::ofstream((folder.path() + "/h.csv").toStdString())
        << "SEQ#,PN,Cust Code,Leak,Error,Time/Date,GPRelay,BPRelay,GERelay\n"
        << "SN = 9,Model: Norvik,,,,,,,\n1,P,C,0.1,,Jan 01/04 00:00:00,On,Off,Off\n";
    QString archive = folder.path() + "/a.sqlite";
    ASSERT_EQ(RunArchiveProgram({"import", folder.path() + "/h.csv", "--archive", archive}).status,
              0);
    QStringList report{"report", folder.path() + "/r.pdf", "--archive", archive};
    ProgramRun quiet = RunArchiveProgram(report);
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    ProgramRun asked = RunArchiveProgram(report, {"QT_LOGGING_RULES=qm4250.qt.debug=true"});
    EXPECT_NE(asked.err.find("QStandardPaths: XDG_RUNTIME_DIR not set"), std::string::npos)
        << asked.err;
}

}  // namespace
