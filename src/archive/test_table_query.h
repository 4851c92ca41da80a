#pragma once

#include <QSqlQuery>
#include <optional>

#include "archive/archive_connection.h"
#include "archive/test_filter.h"

namespace qm4250 {

// The columns of the archive window's table of tests, in the table's order.
enum class TestTableColumn {
    Instrument,
    Seq,
    Pn,
    CustCode,
    Leak,
    Error,
    TestedAt,
    RelayGp,
    RelayBp,
    RelayGe
};
inline constexpr int kTestTableColumns = 10;

// A sort by one column; ties keep the archive's order.
struct TestSort {
    TestTableColumn column = TestTableColumn::TestedAt;
    bool descending = false;
};

// The selected tests, a column each in TestTableColumn's order, sorted as asked or else by time;
// executed, to be fetched as a table scrolls. A Seq# of digits sorts as its number does (2 before
// 10) on SQLite and PostgreSQL; a leak shows as received and sorts as a number; no error ("N")
// sorts before the codes. Only the columns' own SQL is ever put into ORDER BY. The query's
// lastError() says why it failed.
QSqlQuery TestTableQuery(ArchiveConnection& connection, const TestFilter& filter,
                         const std::optional<TestSort>& sort);

}  // namespace qm4250
