#include "archive/schema.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <variant>
#include <vector>

namespace qm4250 {

namespace {

// One migration: its statements, written once for both engines. %ID% is the engine's
// self-numbering key, %BLOB% its byte string, %REAL% its floating-point number. %TEXT:column%
// adds a text column of any length to an index on SQLite, whose index rows may be of any size,
// and leaves it out on PostgreSQL, whose must fit a third of a page.
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
        // The chart's columns in the indexes it reads by PN and by time: a PN's tests are read
        // from the index alone, in order, instead of a lookup in the table for each (100,000
        // tests in 27 ms instead of 93).
        {2,
         {"DROP INDEX tests_by_pn",
          "CREATE INDEX tests_by_pn ON tests (pn, tested_at, id, time_seconds, leak, relay_gp,"
          " power_up, instrument_id%TEXT:error_code%)",
          "DROP INDEX tests_by_time",
          "CREATE INDEX tests_by_time ON tests (tested_at, id, time_seconds, leak, relay_gp,"
          " power_up, instrument_id%TEXT:error_code%%TEXT:pn%)"}},
        // Tolerance limits per part number: every change is kept, who made it and when;
        // the latest stands.
        {3,
         {"CREATE TABLE part_limits (id %ID%, pn TEXT NOT NULL, lower_limit %REAL%,"
          " upper_limit %REAL%, changed_by TEXT NOT NULL, changed_at TEXT NOT NULL)",
          "CREATE INDEX part_limits_by_pn ON part_limits (pn, id)"}},
        // Control limits frozen per part number from a chosen baseline, and tests excluded from
        // the limits with a reason: every change is kept, who made it and when; the latest
        // stands. A frozen_limits row without limits thaws the PN; an exclusions row with
        // excluded 0 takes the test back. Counts and ids are BIGINT: any qint64 fits on both
        // engines.
        {4,
         {"CREATE TABLE frozen_limits (id %ID%, pn TEXT NOT NULL, centre %REAL%, lower %REAL%,"
          " upper %REAL%, average_moving_range %REAL%, moving_range_upper %REAL%, sigma %REAL%,"
          " baseline TEXT NOT NULL, baseline_tests BIGINT NOT NULL, changed_by TEXT NOT NULL,"
          " changed_at TEXT NOT NULL)",
          "CREATE INDEX frozen_limits_by_pn ON frozen_limits (pn, id)",
          "CREATE TABLE exclusions (id %ID%, test_id BIGINT NOT NULL REFERENCES tests (id),"
          " excluded SMALLINT NOT NULL, reason TEXT NOT NULL, changed_by TEXT NOT NULL,"
          " changed_at TEXT NOT NULL)",
          "CREATE INDEX exclusions_by_test ON exclusions (test_id, id)"}},
        // The unit a PN's leak is measured in, kept with its tolerance limits.
        {5, {"ALTER TABLE part_limits ADD COLUMN unit TEXT"}},
    };
    return migrations;
}

// PostgreSQL's advisory lock key for migrations: "QM4250" in ASCII, unlikely to meet another's.
constexpr qint64 kMigrationLock = 0x514D34323530;

// The tables every version of the schema has.
const QStringList kOurTables{"schema_version", "instruments", "uploads", "tests",
                             "unreadable_frames"};

QString ForEngine(QString statement, ArchiveLocation::Engine engine) {
    bool sqlite = engine == ArchiveLocation::Engine::Sqlite;
    static const QRegularExpression kText("%TEXT:(\\w+)%");
    return statement.replace(kText, sqlite ? ", \\1" : "")
        .replace("%ID%", sqlite ? "INTEGER PRIMARY KEY" : "BIGSERIAL PRIMARY KEY")
        .replace("%BLOB%", sqlite ? "BLOB" : "BYTEA")
        .replace("%REAL%", sqlite ? "REAL" : "DOUBLE PRECISION");
}

// What the database holds: nothing yet, an archive of this program's at some version, or
// another program's tables.
struct SchemaState {
    enum class Kind { Empty, Ours, NotOurs } kind;
    int version = 0;
};

// Whether the engine refused to read schema_version for what the table is: another program's,
// without our column or with one MAX cannot take. A lock waited on too long, a lost connection or a
// denied permission is said as it is, not taken for another program's database.
bool ShapedOtherwise(const QSqlError& error, bool sqlite) {
    QString code = error.nativeErrorCode();
    if (sqlite)
        return (code.toInt() & 0xff) == 1;      // SQLITE_ERROR: "no such column"
    return code == "42703" || code == "42883";  // undefined column, no MAX for its type
}

std::variant<SchemaState, QSqlError> Inspect(ArchiveConnection& connection) {
    bool sqlite = connection.location().engine == ArchiveLocation::Engine::Sqlite;
    QSqlQuery query(connection.db());
    // PostgreSQL's own catalog, not information_schema's view, which checks privileges on every
    // relation: every writer's new session reads this first.
    if (!query.exec(sqlite ? "SELECT name FROM sqlite_master WHERE type = 'table'"
                             " AND name NOT LIKE 'sqlite!_%' ESCAPE '!'"
                           : "SELECT relname FROM pg_catalog.pg_class WHERE relkind IN"
                             " ('r', 'p', 'v', 'm', 'f') AND relnamespace = (SELECT oid FROM"
                             " pg_catalog.pg_namespace WHERE nspname = current_schema())"))
        return query.lastError();
    QStringList tables;
    while (query.next())
        tables << query.value(0).toString();
    if (query.lastError().isValid())
        return query.lastError();
    if (tables.isEmpty())
        return SchemaState{SchemaState::Kind::Empty};
    for (const QString& table : kOurTables) {
        if (!tables.contains(table))
            return SchemaState{SchemaState::Kind::NotOurs};
    }
    bool read = query.exec("SELECT MAX(version) FROM schema_version") && query.next();
    if (!read && query.lastError().isValid() && !ShapedOtherwise(query.lastError(), sqlite))
        return query.lastError();
    if (!read || query.value(0).isNull())
        return SchemaState{SchemaState::Kind::NotOurs};
    return SchemaState{SchemaState::Kind::Ours, query.value(0).toInt()};
}

// Whether an archive in this state can be used; the failure says why it cannot.
Result<void, ArchiveError> Refusal(const ArchiveConnection& connection, const SchemaState& state,
                                   bool writing) {
    QString where = connection.location().display();
    if (state.kind == SchemaState::Kind::NotOurs)
        return ArchiveError{ArchiveError::Kind::NotOurs, where, {}};
    if (state.kind == SchemaState::Kind::Empty && !writing)
        return ArchiveError{ArchiveError::Kind::Missing, where, {}};
    if (writing && state.version > LatestSchemaVersion())
        return ArchiveError{ArchiveError::Kind::NewerSchema, where, {}, state.version};
    return {};
}

}  // namespace

int LatestSchemaVersion() {
    return Migrations().back().version;
}

Result<void, ArchiveError> MigrateSchema(ArchiveConnection& connection) {
    QSqlDatabase& db = connection.db();
    ArchiveLocation::Engine engine = connection.location().engine;
    bool sqlite = engine == ArchiveLocation::Engine::Sqlite;
    // Read first, without a lock: most writers find the schema as it should be, and go on without
    // queueing on one another. Nothing is written to a database not known to be ours or empty.
    std::variant<SchemaState, QSqlError> inspected = Inspect(connection);
    if (auto* error = std::get_if<QSqlError>(&inspected))
        return connection.failure(*error);
    if (Result<void, ArchiveError> usable =
            Refusal(connection, std::get<SchemaState>(inspected), true);
        !usable)
        return usable;
    if (sqlite) {
        bool empty = std::get<SchemaState>(inspected).kind == SchemaState::Kind::Empty;
        if (std::optional<ArchiveError> failed = connection.useWriteAheadLog(empty))
            return *failed;
    }
    if (std::get<SchemaState>(inspected).version == LatestSchemaVersion())
        return {};
    // Two programs that meet an empty or older archive at once must not both migrate it: SQLite's
    // write lock, or PostgreSQL's advisory lock, lets one migrate while the other waits, and the
    // other then finds the work done.
    QSqlQuery query(db);
    if (!query.exec(sqlite ? "BEGIN IMMEDIATE" : "BEGIN"))
        return connection.failure(query.lastError());
    auto abandon = [&](ArchiveError error) {
        QSqlQuery(db).exec("ROLLBACK");
        return error;
    };
    if (!sqlite && !query.exec(QString("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLock)))
        return abandon(connection.failure(query.lastError()));
    inspected = Inspect(connection);
    if (auto* error = std::get_if<QSqlError>(&inspected))
        return abandon(connection.failure(*error));
    const SchemaState& state = std::get<SchemaState>(inspected);
    if (Result<void, ArchiveError> usable = Refusal(connection, state, true); !usable)
        return abandon(usable.error());
    if (state.kind == SchemaState::Kind::Empty &&
        !query.exec("CREATE TABLE schema_version (version INTEGER PRIMARY KEY)"))
        return abandon(connection.failure(query.lastError()));
    for (const Migration& migration : Migrations()) {
        if (migration.version <= state.version)
            continue;
        for (const char* statement : migration.statements) {
            if (!query.exec(ForEngine(statement, engine)))
                return abandon(connection.failure(query.lastError()));
        }
        query.prepare("INSERT INTO schema_version (version) VALUES (?)");
        query.addBindValue(migration.version);
        if (!query.exec())
            return abandon(connection.failure(query.lastError()));
    }
    if (!query.exec("COMMIT"))
        return abandon(connection.failure(query.lastError()));
    return {};
}

Result<bool, ArchiveError> HasSchema(ArchiveConnection& connection, int version) {
    std::variant<SchemaState, QSqlError> inspected = Inspect(connection);
    if (auto* error = std::get_if<QSqlError>(&inspected))
        return connection.failure(*error);
    const SchemaState& state = std::get<SchemaState>(inspected);
    if (Result<void, ArchiveError> usable = Refusal(connection, state, false); !usable)
        return usable.error();
    return state.version >= version;
}

Result<void, ArchiveError> CheckReadable(ArchiveConnection& connection) {
    std::variant<SchemaState, QSqlError> inspected = Inspect(connection);
    if (auto* error = std::get_if<QSqlError>(&inspected))
        return connection.failure(*error);
    return Refusal(connection, std::get<SchemaState>(inspected), false);
}

}  // namespace qm4250
