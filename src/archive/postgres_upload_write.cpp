#include "archive/postgres_upload_write.h"

#include <algorithm>
#include <numeric>

#include "archive/native_handle.h"
#include "archive/postgres_test_stage.h"

namespace qm4250 {

namespace {

class PostgresUploadWrite : public UploadWrite {
  public:
    PostgresUploadWrite(const ArchiveLocation& location, QString device, const QDateTime& when)
        : UploadWrite(location, std::move(device), when) {
        if (failed())
            return;
        if (PGconn* handle = NativeHandle<PGconn>(connection_.db(), {"pg_conn*", "PGconn*"}))
            stage_ = std::make_unique<PostgresTestStage>(handle);
        else
            fail("the Qt SQL driver QPSQL gives no handle to its libpq connection");
    }

    bool startUpload(const std::optional<Identification>& instrument) override {
        if (failed())
            return false;
        pending_.push_back(Upload{instrument, 0, {}});
        return true;
    }

    bool addTests(std::span<const TestRecord> tests) override {
        if (failed())
            return false;
        return stage_->add(static_cast<int>(pending_.size()), tests) || fail(stage_->error());
    }

    bool endUpload(int32_t frames, const std::vector<std::string>& unreadable) override {
        if (failed())
            return false;
        pending_.back().frames = frames;
        pending_.back().unreadable = unreadable;
        return true;
    }

    bool commit() override {
        if (failed())
            return false;
        std::optional<std::vector<qint64>> instruments = madeInstruments();
        if (!instruments || !begin())
            return false;
        std::vector<qint64> ids;
        for (qint64 instrument : *instruments) {
            std::optional<qint64> upload = insertUploadRow(instrument);
            if (!upload)
                return false;
            ids.push_back(*upload);
        }
        std::optional<std::vector<int>> newTests = stage_->move(*instruments, ids);
        if (!newTests)
            return fail(stage_->error());
        for (size_t k = 0; k < pending_.size(); ++k) {
            if (!endUploadRow(ids[k], pending_[k].frames, (*newTests)[k], pending_[k].unreadable))
                return false;
        }
        return commitTransaction();
    }

  private:
    struct Upload {
        std::optional<Identification> instrument;
        int32_t frames = 0;
        std::vector<std::string> unreadable;
    };

    // Each upload's instrument id, the instruments made in the order of their serial numbers,
    // each committed at once: an instrument without uploads yet is harmless, and no transaction
    // holds one while it waits for another.
    std::optional<std::vector<qint64>> madeInstruments() {
        std::vector<size_t> order(pending_.size());
        std::iota(order.begin(), order.end(), size_t{0});
        auto serial = [this](size_t k) {
            return pending_[k].instrument ? pending_[k].instrument->serial : std::string();
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return serial(a) < serial(b); });
        std::vector<qint64> ids(pending_.size());
        for (size_t at = 0; at < order.size(); ++at) {
            size_t k = order[at];
            if (at > 0 && serial(order[at - 1]) == serial(k)) {
                ids[k] = ids[order[at - 1]];
                continue;
            }
            std::optional<qint64> id = instrumentId(pending_[k].instrument);
            if (!id)
                return std::nullopt;
            ids[k] = *id;
        }
        return ids;
    }

    std::vector<Upload> pending_;
    std::unique_ptr<PostgresTestStage> stage_;
};

}  // namespace

std::unique_ptr<UploadWrite> MakePostgresUploadWrite(const ArchiveLocation& location,
                                                     QString device, const QDateTime& when) {
    return std::make_unique<PostgresUploadWrite>(location, std::move(device), when);
}

}  // namespace qm4250
