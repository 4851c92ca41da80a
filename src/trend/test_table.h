#pragma once

#include <QSqlQueryModel>
#include <QTableView>
#include <optional>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/test_filter.h"
#include "archive/test_table_query.h"
#include "result/result.h"

namespace qm4250 {

// The selected tests, fetched as the table scrolls. A click on a heading asks for the tests
// sorted by that column, which the archive does; Ctrl+C copies the selected block as
// tab-separated text.
class TestTable : public QTableView {
    Q_OBJECT
  public:
    explicit TestTable(QWidget* parent);

    // What the filter selects, in the order last chosen; the failure says why it cannot be read.
    Result<void, ArchiveError> showTests(ArchiveConnection& connection, const TestFilter& filter);
    // Lets the query go, as it must be before its connection closes: while its rows are fetched as
    // the table scrolls, it holds SQLite's view of the archive as it was for every statement of
    // the connection.
    void release();

  signals:
    void sortChosen();

  private:
    void sortBy(int column, Qt::SortOrder order);
    void copySelectedCells();

    QSqlQueryModel* model_;
    std::optional<TestSort> sort_;
};

}  // namespace qm4250
