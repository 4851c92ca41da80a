#pragma once

// Where the tests keep their archives: a SQLite file in a scratch folder, or the throwaway
// PostgreSQL cluster the CTest fixture starts (its URL in the file QM4250_TEST_POSTGRES_URL_FILE
// names), emptied first.

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive/archive_connection.h"
#include "archive/archive_location.h"

namespace qm4250 {

enum class Engine { Sqlite, Postgres };

inline std::string EngineName(const testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

// An empty archive on the engine; fails the running test when the cluster is not there.
inline void MakeEmptyArchive(Engine engine, const QTemporaryDir& folder,
                             ArchiveLocation& location) {
    if (engine == Engine::Sqlite) {
        location = ArchiveLocation{};
        location.path = folder.path() + "/archive.sqlite";
        return;
    }
    QFile urlFile(qEnvironmentVariable("QM4250_TEST_POSTGRES_URL_FILE"));
    ASSERT_TRUE(urlFile.open(QIODevice::ReadOnly)) << "the PostgreSQL test cluster is not running";
    std::optional<ArchiveLocation> parsed =
        ParseArchiveLocation(QString::fromUtf8(urlFile.readAll()).trimmed());
    ASSERT_TRUE(parsed);
    location = *parsed;
    ArchiveConnection connection(location);
    ASSERT_TRUE(connection.isOpen()) << connection.error().toStdString();
    QSqlQuery(connection.db()).exec("DROP SCHEMA public CASCADE");
    QSqlQuery(connection.db()).exec("CREATE SCHEMA public");
}

}  // namespace qm4250
