#include "archive/schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <vector>

namespace qm4250 {

namespace {

// One migration: its statements, written once for both engines. %ID% is the engine's
// self-numbering key, %BLOB% its byte string, %REAL% its floating-point number.
struct Migration {
    int version;
    std::vector<const char*> statements;
};

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> migrations{
        {1,
         {"CREATE TABLE instruments (id %ID%, serial TEXT NOT NULL UNIQUE, model TEXT NOT NULL)",
          "CREATE TABLE uploads (id %ID%, uploaded_at TEXT NOT NULL,"
          " instrument_id INTEGER NOT NULL REFERENCES instruments (id), device TEXT NOT NULL,"
          " frames INTEGER NOT NULL, new_tests INTEGER NOT NULL,"
          " unreadable_frames INTEGER NOT NULL, program_version TEXT NOT NULL)",
          "CREATE TABLE tests (id %ID%, instrument_id INTEGER NOT NULL REFERENCES instruments (id),"
          " seq TEXT NOT NULL, pn TEXT NOT NULL, cust_code TEXT NOT NULL,"
          " leak_text TEXT NOT NULL, leak %REAL%, error_code TEXT NOT NULL,"
          " time_seconds INTEGER NOT NULL, tested_at TEXT NOT NULL, relay_field TEXT NOT NULL,"
          " power_up SMALLINT NOT NULL, relay_gp SMALLINT NOT NULL, relay_bp SMALLINT NOT NULL,"
          " relay_ge SMALLINT NOT NULL,"
          " first_upload_id INTEGER NOT NULL REFERENCES uploads (id),"
          " UNIQUE (instrument_id, seq, time_seconds))",
          "CREATE INDEX tests_by_instrument ON tests (instrument_id, tested_at)",
          "CREATE INDEX tests_by_pn ON tests (pn, tested_at)",
          "CREATE INDEX tests_by_cust_code ON tests (cust_code, tested_at)",
          "CREATE INDEX tests_by_time ON tests (tested_at)",
          "CREATE TABLE unreadable_frames (id %ID%,"
          " upload_id INTEGER NOT NULL REFERENCES uploads (id), body %BLOB% NOT NULL)"}},
    };
    return migrations;
}

// PostgreSQL's advisory lock key for migrations: "QM4250" in ASCII, unlikely to meet another's.
constexpr qint64 kMigrationLock = 0x514D34323530;

QString ForEngine(QString statement, ArchiveLocation::Engine engine) {
    bool sqlite = engine == ArchiveLocation::Engine::Sqlite;
    return statement.replace("%ID%", sqlite ? "INTEGER PRIMARY KEY" : "BIGSERIAL PRIMARY KEY")
        .replace("%BLOB%", sqlite ? "BLOB" : "BYTEA")
        .replace("%REAL%", sqlite ? "REAL" : "DOUBLE PRECISION");
}

QString Failed(QSqlQuery& query, const QString& what) {
    return what + ": " + query.lastError().text();
}

}  // namespace

int LatestSchemaVersion() {
    return Migrations().back().version;
}

QString MigrateSchema(QSqlDatabase& db, ArchiveLocation::Engine engine) {
    QSqlQuery query(db);
    bool sqlite = engine == ArchiveLocation::Engine::Sqlite;
    // Two programs that meet an empty archive at once must not both create its tables: SQLite's
    // write lock, or PostgreSQL's advisory lock, lets one migrate while the other waits.
    if (!query.exec(sqlite ? "BEGIN IMMEDIATE" : "BEGIN"))
        return Failed(query, "starting the migration");
    auto fail = [&](const QString& what) {
        QString reason = Failed(query, what);
        QSqlQuery(db).exec("ROLLBACK");
        return reason;
    };
    if (!sqlite && !query.exec(QString("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLock)))
        return fail("waiting for another migration");
    if (!query.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER PRIMARY KEY)"))
        return fail("creating schema_version");
    if (!query.exec("SELECT COALESCE(MAX(version), 0) FROM schema_version") || !query.next())
        return fail("reading schema_version");
    int current = query.value(0).toInt();
    for (const Migration& migration : Migrations()) {
        if (migration.version <= current)
            continue;
        for (const char* statement : migration.statements) {
            if (!query.exec(ForEngine(statement, engine)))
                return fail(QString("migration %1").arg(migration.version));
        }
        query.prepare("INSERT INTO schema_version (version) VALUES (?)");
        query.addBindValue(migration.version);
        if (!query.exec())
            return fail("recording the migration");
    }
    if (!query.exec("COMMIT"))
        return Failed(query, "committing the migration");
    return {};
}

}  // namespace qm4250
