#include "trend/test_table.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QShortcut>
#include <QSqlError>
#include <algorithm>
#include <array>
#include <vector>

#include "protocol/field_format.h"
#include "protocol/history.h"
#include "trend/fit_columns.h"

namespace qm4250 {

namespace {

constexpr std::array<const char*, kTestTableColumns> kTitles{
    "Instrument", "Seq#", "PN", "Cust Code", "Leak", "Err", "Tested at", "GP", "BP", "GE"};

// The archive's columns shown as the upload window's list shows them: no error blank, another
// "*" and its code; a relay "On" or "Off". The archive sorts by what it holds.
class TestsModel : public QSqlQueryModel {
  public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex& index, int role) const override {
        QVariant value = QSqlQueryModel::data(index, role);
        if (role != Qt::DisplayRole || !value.isValid())
            return value;
        auto column = static_cast<TestTableColumn>(index.column());
        if (column == TestTableColumn::Error)
            return QString::fromStdString(ErrorText(value.toString().toStdString()));
        if (column == TestTableColumn::RelayGp || column == TestTableColumn::RelayBp ||
            column == TestTableColumn::RelayGe)
            return QString(OnOffText(value.toInt() != 0));
        return value;
    }
};

}  // namespace

TestTable::TestTable(QWidget* parent) : QTableView(parent), model_(new TestsModel(this)) {
    setObjectName("tests");
    setModel(model_);
    setWordWrap(false);
    setSortingEnabled(false);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &TestTable::sortBy);
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    copy->setContext(Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &TestTable::copySelectedCells);
}

Result<void, ArchiveError> TestTable::showTests(ArchiveConnection& connection,
                                                const TestFilter& filter) {
    model_->setQuery(TestTableQuery(connection, filter, sort_));
    Result<void, ArchiveError> shown;
    if (model_->lastError().isValid())
        shown = connection.failure(model_->lastError());
    for (int column = 0; column < kTestTableColumns; ++column)
        model_->setHeaderData(column, Qt::Horizontal, kTitles[static_cast<size_t>(column)]);
    FitColumns(*this);
    return shown;
}

void TestTable::release() {
    model_->clear();
}

void TestTable::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kTestTableColumns)
        return;
    sort_ = TestSort{static_cast<TestTableColumn>(column), order == Qt::DescendingOrder};
    emit sortChosen();
}

// The block from the first selected cell to the last, as tab-separated lines a spreadsheet
// pastes into cells; a cell inside the block but not selected stays empty.
void TestTable::copySelectedCells() {
    QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    int top = selected.front().row(), bottom = top;
    int left = selected.front().column(), right = left;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    std::vector<QStringList> rows(static_cast<size_t>(bottom - top + 1),
                                  QStringList(right - left + 1, QString()));
    for (const QModelIndex& index : selected)
        rows[static_cast<size_t>(index.row() - top)][index.column() - left] =
            index.data().toString().replace('\t', ' ').replace('\n', ' ');
    QStringList lines;
    for (const QStringList& row : rows)
        lines << row.join('\t');
    QApplication::clipboard()->setText(lines.join('\n') + '\n');
}

}  // namespace qm4250
