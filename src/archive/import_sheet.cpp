#include "archive/import_sheet.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

#include "archive/sheet_import.h"
#include "archive/sheet_reader.h"
#include "archive/upload_archive.h"

namespace qm4250 {

namespace {

// Tests written per batch: enough to keep the database busy, few enough to hold in memory.
constexpr size_t kBatch = 10'000;

// The sheet's rows turned into tests and written as they come.
class ArchivingRows : public SheetRows {
  public:
    ArchivingRows(const ArchiveLocation& archive, QString device, const QDateTime& when)
        : archive_(archive), device_(std::move(device)), when_(when) {}

    bool row(uint64_t number, const SheetRow& cells) override {
        return sheet_.row(number, cells) && write(false);
    }
    bool rowTooLong(uint64_t number) override { return sheet_.rowTooLong(number) && write(false); }

    // Writes what is left and commits; false when the archive failed.
    bool finish() {
        if (!write(true))
            return false;
        uint64_t frames = sheet_.testsRead() + (sheet_.identification() ? 1 : 0);
        return upload_->finish(static_cast<int32_t>(std::min<uint64_t>(frames, INT32_MAX)), {});
    }

    const SheetImport& sheet() const { return sheet_; }
    ArchiveResult result() const { return upload_ ? upload_->result() : ArchiveResult{}; }

  private:
    // The upload starts once its instrument is known: the identification row, or its absence.
    bool write(bool all) {
        if (!sheet_.instrumentKnown() && !all)
            return true;
        if (!upload_)
            upload_ =
                std::make_unique<UploadWrite>(archive_, sheet_.identification(), device_, when_);
        if (!all && sheet_.recordsWaiting() < kBatch)
            return !upload_->failed();
        return upload_->addTests(sheet_.takeRecords(all));
    }

    SheetImport sheet_;
    const ArchiveLocation& archive_;
    QString device_;
    QDateTime when_;
    std::unique_ptr<UploadWrite> upload_;
};

}  // namespace

SheetImportResult ImportSheetFile(const std::string& path, const ArchiveLocation& archive,
                                  const QDateTime& when) {
    QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
    ArchivingRows rows(archive, "import:" + name, when);
    SheetImportResult result;
    result.readError = ReadSheetRows(path, rows);
    const SheetImport& sheet = rows.sheet();
    if (result.readError) {
        result.outcome = SheetImportResult::Outcome::CannotRead;
    } else if (!sheet.isHistorySheet()) {
        result.outcome = SheetImportResult::Outcome::NotAHistorySheet;
    } else if (!rows.finish()) {
        result.outcome = SheetImportResult::Outcome::NotArchived;
        result.archiveError = rows.result().error;
    }
    result.testsRead = sheet.testsRead();
    result.newTests = rows.result().newTests;
    result.rowsSkipped = sheet.rowsSkipped();
    result.skipReasons = sheet.skipReasons();
    return result;
}

}  // namespace qm4250
