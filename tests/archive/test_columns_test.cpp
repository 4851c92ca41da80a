// The writers' one list of the tests table's columns against the table each engine's migrations
// make: a column added, dropped or moved on one side only would put values in the wrong columns.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/schema.h"
#include "archive/test_columns.h"
#include "test_archives.h"

using namespace qm4250;

namespace {

struct TableColumn {
    std::string name;
    std::string type;  // lower case, as PostgreSQL names it; empty on SQLite

    bool operator==(const TableColumn&) const = default;
};

void PrintTo(const TableColumn& column, std::ostream* out) {
    *out << column.name << " " << column.type;
}

std::vector<TableColumn> ColumnsOfTests(ArchiveConnection& connection, Engine engine) {
    QSqlQuery query(connection.db());
    bool read = engine == Engine::Sqlite
                    ? query.exec("SELECT name, '' FROM pragma_table_info('tests') ORDER BY cid")
                    : query.exec(
                          "SELECT column_name, data_type FROM information_schema.columns WHERE"
                          " table_schema = current_schema() AND table_name = 'tests'"
                          " ORDER BY ordinal_position");
    EXPECT_TRUE(read);
    std::vector<TableColumn> columns;
    while (query.next())
        columns.push_back({query.value(0).toString().toStdString(),
                           query.value(1).toString().toLower().toStdString()});
    return columns;
}

// The id, then kTestColumns in their order; on PostgreSQL with the types a staging table uses.
std::vector<TableColumn> ExpectedColumns(Engine engine) {
    std::vector<TableColumn> columns{{"id", engine == Engine::Sqlite ? "" : "bigint"}};
    for (const TestColumnDefinition& definition : kTestColumns)
        columns.push_back(
            {definition.name, engine == Engine::Sqlite
                                  ? ""
                                  : QString(definition.postgresType).toLower().toStdString()});
    return columns;
}

class TestColumnsTest : public testing::TestWithParam<Engine> {};

TEST_P(TestColumnsTest, TheWritersColumnsAreTheMigratedTablesInItsOrder) {
    QTemporaryDir folder;
    ArchiveLocation location;
    MakeEmptyArchive(GetParam(), folder, location);
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    ASSERT_TRUE(connection.isOpen());
    ASSERT_TRUE(MigrateSchema(connection));
    EXPECT_EQ(ColumnsOfTests(connection, GetParam()), ExpectedColumns(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Engines, TestColumnsTest,
                         testing::Values(Engine::Sqlite, Engine::Postgres), EngineName);

}  // namespace
