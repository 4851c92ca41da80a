#include "archive/test_insert.h"

#include <QSqlDriver>
#include <QVariant>
#include <initializer_list>

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

// The engine's own connection behind the Qt driver, when its type has one of the names given.
template <typename Handle>
Handle* NativeHandle(QSqlDatabase& db, std::initializer_list<const char*> typeNames) {
    QVariant handle = db.driver()->handle();
    for (const char* name : typeNames) {
        if (handle.isValid() && qstrcmp(handle.typeName(), name) == 0)
            return *static_cast<Handle* const*>(handle.constData());
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<TestInsert> MakeTestInsert(ArchiveConnection& connection, qint64 instrument,
                                           qint64 upload) {
    QSqlDatabase& db = connection.db();
    bool sqlite = connection.location().engine == ArchiveLocation::Engine::Sqlite;
    if (sqlite3* handle = sqlite ? NativeHandle<sqlite3>(db, {"sqlite3*"}) : nullptr)
        return MakeSqliteTestInsert(handle, instrument, upload);
    // Qt 6 names PostgreSQL's type after the struct behind libpq's typedef, Qt 5 after the typedef.
    if (PGconn* handle = sqlite ? nullptr : NativeHandle<PGconn>(db, {"pg_conn*", "PGconn*"}))
        return MakePostgresTestInsert(handle, instrument, upload);
    return std::make_unique<RefusedTestInsert>("the Qt SQL driver " + db.driverName() +
                                               " gives no handle to its engine's connection");
}

}  // namespace qm4250
