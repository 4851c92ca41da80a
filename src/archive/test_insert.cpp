#include "archive/test_insert.h"

#include "archive/native_handle.h"
#include "archive/postgres_test_insert.h"
#include "archive/sqlite_test_insert.h"

namespace qm4250 {

namespace {

// What an engine's Qt driver does not give us the means for.
class RefusedTestInsert : public TestInsert {
  public:
    explicit RefusedTestInsert(const QString& why) { error_ = why; }
    bool insert(std::span<const TestRecord>) override { return false; }
};

}  // namespace

std::unique_ptr<TestInsert> MakeTestInsert(ArchiveConnection& connection, qint64 instrument,
                                           qint64 upload) {
    QSqlDatabase& db = connection.db();
    bool sqlite = connection.location().engine == ArchiveLocation::Engine::Sqlite;
    if (sqlite3* handle = sqlite ? NativeHandle<sqlite3>(db, {"sqlite3*"}) : nullptr)
        return MakeSqliteTestInsert(handle, instrument, upload);
    if (PGconn* handle = sqlite ? nullptr : NativeHandle<PGconn>(db, {"pg_conn*", "PGconn*"}))
        return MakePostgresTestInsert(handle, instrument, upload);
    return std::make_unique<RefusedTestInsert>("the Qt SQL driver " + db.driverName() +
                                               " gives no handle to its engine's connection");
}

}  // namespace qm4250
