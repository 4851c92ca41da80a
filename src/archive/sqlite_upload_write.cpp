#include "archive/sqlite_upload_write.h"

#include "archive/native_handle.h"
#include "archive/sqlite_test_insert.h"

namespace qm4250 {

namespace {

class SqliteUploadWrite : public UploadWrite {
  public:
    SqliteUploadWrite(const ArchiveLocation& location, QString device, const QDateTime& when)
        : UploadWrite(location, std::move(device), when),
          handle_(NativeHandle<sqlite3>(connection_.db(), {"sqlite3*"})) {
        if (!failed() && !handle_)
            fail("the Qt SQL driver QSQLITE gives no handle to SQLite's connection");
        if (!failed())
            begin();
    }

    bool startUpload(const std::optional<Identification>& instrument) override {
        if (failed())
            return false;
        insert_.reset();
        std::optional<qint64> id = instrumentId(instrument);
        std::optional<qint64> upload = id ? insertUploadRow(*id) : std::nullopt;
        if (!upload)
            return false;
        insert_ = std::make_unique<SqliteTestInsert>(handle_, *id, *upload);
        return true;
    }

    bool addTests(std::span<const TestRecord> tests) override {
        if (failed())
            return false;
        return insert_->insert(tests) || fail(insert_->error());
    }

    bool endUpload(int32_t frames, const std::vector<std::string>& unreadable) override {
        if (failed())
            return false;
        bool ended = endUploadRow(uploads_.back(), frames, insert_->newTests(), unreadable);
        insert_.reset();
        return ended;
    }

    bool commit() override { return !failed() && commitTransaction(); }

  private:
    sqlite3* handle_;
    std::unique_ptr<SqliteTestInsert> insert_;
};

}  // namespace

std::unique_ptr<UploadWrite> MakeSqliteUploadWrite(const ArchiveLocation& location, QString device,
                                                   const QDateTime& when) {
    return std::make_unique<SqliteUploadWrite>(location, std::move(device), when);
}

}  // namespace qm4250
