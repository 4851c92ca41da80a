#include "archive/archive_sheet_file.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

#include "archive/upload_archive.h"
#include "sheets/sheet_reader.h"

namespace qm4250 {

namespace {

// Tests written per batch: enough to keep the database busy, few enough to hold in memory.
constexpr size_t kBatch = 10'000;

// The tests read, written to the archive as they come, an upload for each instrument.
class ArchivedTests : public ImportedTests {
  public:
    ArchivedTests(const ArchiveLocation& archive, QString device, const QDateTime& when)
        : archive_(archive), device_(std::move(device)), when_(when) {}

    bool instrument(const std::optional<Identification>& identification) override {
        if (!endUpload())
            return false;
        frames_ = identification ? 1 : 0;
        uploading_ = true;
        return write().startUpload(identification);
    }

    bool test(TestRecord record) override {
        tests_.push_back(std::move(record));
        ++frames_;
        return tests_.size() < kBatch || writeTests();
    }

    // Writes what is left and commits; false when the archive failed.
    bool finish() { return endUpload() && write().commit(); }

    ArchiveResult result() const { return write_ ? write_->result() : ArchiveResult{}; }

  private:
    // The archive is opened with the first instrument, or at the end of a file that has none.
    UploadWrite& write() {
        if (!write_)
            write_ = OpenUploadWrite(archive_, device_, when_);
        return *write_;
    }

    bool writeTests() {
        bool written = write().addTests(tests_);
        tests_.clear();
        return written;
    }

    bool endUpload() {
        if (!uploading_)
            return true;
        uploading_ = false;
        int32_t frames = static_cast<int32_t>(std::min<uint64_t>(frames_, INT32_MAX));
        return writeTests() && write().endUpload(frames, {});
    }

    const ArchiveLocation& archive_;
    QString device_;
    QDateTime when_;
    std::unique_ptr<UploadWrite> write_;
    std::vector<TestRecord> tests_;
    bool uploading_ = false;
    uint64_t frames_ = 0;
};

// One read of the file into the archive.
SheetArchiveResult ImportOnce(const std::string& path, const ArchiveLocation& archive,
                              const QDateTime& when) {
    QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
    ArchivedTests tests(archive, "import:" + name, when);
    HistoryRowParser sheet(tests);
    SheetArchiveResult result;
    result.readError = ReadSheetRows(path, sheet);
    if (result.readError) {
        result.outcome = SheetArchiveResult::Outcome::CannotRead;
    } else if (!sheet.isHistorySheet()) {
        result.outcome = SheetArchiveResult::Outcome::NotAHistorySheet;
    } else if (!sheet.finish() || !tests.finish()) {
        result.outcome = SheetArchiveResult::Outcome::NotArchived;
        result.archiveError = tests.result().error;
    }
    result.testsRead = sheet.testsRead();
    result.newTests = tests.result().newTests;
    result.rowsSkipped = sheet.rowsSkipped();
    result.skippedRows = sheet.skippedRows();
    result.othersForTheSameReasons = sheet.othersForTheSameReasons();
    result.sheetsPassedOver = sheet.sheetsPassedOver();
    result.rowsInWindows1252 = sheet.rowsInWindows1252();
    return result;
}

}  // namespace

SheetArchiveResult ArchiveSheetFile(const std::string& path, const ArchiveLocation& archive,
                                    const QDateTime& when, const ArchiveWaiting& waiting) {
    ArchiveRetry retry(std::chrono::milliseconds(archive.retryForMs), waiting);
    for (;;) {
        SheetArchiveResult result = ImportOnce(path, archive, when);
        if (!result.archiveError || !retry.again(*result.archiveError))
            return result;
    }
}

}  // namespace qm4250
