#pragma once

// Where the tests keep their archives: a SQLite file in a scratch folder, or the throwaway
// PostgreSQL cluster the CTest fixture starts (its URL in the file QM4250_TEST_POSTGRES_URL_FILE
// names), emptied first.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive/archive_connection.h"
#include "archive/archive_location.h"
#include "archive/upload_archive.h"

namespace qm4250 {

enum class Engine { Sqlite, Postgres };

inline std::string EngineName(const testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

inline ArchiveLocation SqliteAt(const QString& path) {
    ArchiveLocation location;
    location.path = path;
    return location;
}

// An empty archive on the engine; fails the running test when the cluster is not there.
inline void MakeEmptyArchive(Engine engine, const QTemporaryDir& folder,
                             ArchiveLocation& location) {
    if (engine == Engine::Sqlite) {
        location = ArchiveLocation{};
        location.path = folder.path() + "/archive.sqlite";
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(location.path + suffix);
        return;
    }
    QFile urlFile(qEnvironmentVariable("QM4250_TEST_POSTGRES_URL_FILE"));
    ASSERT_TRUE(urlFile.open(QIODevice::ReadOnly)) << "the PostgreSQL test cluster is not running";
    std::optional<ArchiveLocation> parsed =
        ParseArchiveLocation(QString::fromUtf8(urlFile.readAll()).trimmed());
    ASSERT_TRUE(parsed);
    location = *parsed;
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    ASSERT_TRUE(connection.isOpen()) << ArchiveErrorText(connection.error()).toStdString();
    QSqlQuery(connection.db()).exec("DROP SCHEMA public CASCADE");
    QSqlQuery(connection.db()).exec("CREATE SCHEMA public");
}

// Who a change this process makes is kept as: the system's account of the effective user, and on
// PostgreSQL the session user where that is another name.
inline QString ChangesMadeBy(const ArchiveLocation& location) {
    QString account = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    bool alone = location.engine == ArchiveLocation::Engine::Sqlite || location.user == account;
    return alone ? account : account + " (postgres user " + location.user + ")";
}

// Why the archive was not written, or nothing.
inline std::string Why(const ArchiveResult& result) {
    return result.error ? ArchiveErrorText(*result.error).toStdString() : std::string();
}

}  // namespace qm4250
