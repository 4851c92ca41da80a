#pragma once

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <initializer_list>

namespace qm4250 {

// The engine's own connection behind the Qt driver, when its type has one of the names given:
// "sqlite3*" for SQLite; for PostgreSQL Qt 6 names the struct behind libpq's typedef, "pg_conn*",
// Qt 5 the typedef, "PGconn*". None otherwise.
template <typename Handle>
Handle* NativeHandle(const QSqlDatabase& db, std::initializer_list<const char*> typeNames) {
    QVariant handle = db.driver()->handle();
    for (const char* name : typeNames) {
        if (handle.isValid() && qstrcmp(handle.typeName(), name) == 0)
            return *static_cast<Handle* const*>(handle.constData());
    }
    return nullptr;
}

}  // namespace qm4250
