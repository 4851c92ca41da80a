#include "archive/test_table_query.h"

#include <QStringList>
#include <array>

namespace qm4250 {

namespace {

// No error ("N", shown blank) sorts before the codes.
constexpr const char* kErrorSort = "CASE WHEN t.error_code = 'N' THEN '' ELSE t.error_code END";

// What each column shows, and what it sorts by.
struct ColumnSql {
    const char* shown;
    const char* sortedBy;
};
constexpr std::array<ColumnSql, kTestTableColumns> kColumnSql{{{"i.serial", "i.serial"},
                                                               {"t.seq", "LENGTH(t.seq), t.seq"},
                                                               {"t.pn", "t.pn"},
                                                               {"t.cust_code", "t.cust_code"},
                                                               {"t.leak_text", "t.leak"},
                                                               {"t.error_code", kErrorSort},
                                                               {"t.tested_at", "t.tested_at"},
                                                               {"t.relay_gp", "t.relay_gp"},
                                                               {"t.relay_bp", "t.relay_bp"},
                                                               {"t.relay_ge", "t.relay_ge"}}};

QString OrderSql(const std::optional<TestSort>& sort) {
    if (!sort)
        return "t.tested_at, t.id";
    QString direction = sort->descending ? " DESC" : " ASC";
    return QString(kColumnSql[static_cast<size_t>(sort->column)].sortedBy)
               .split(", ")
               .join(direction + ", ") +
           direction + ", t.id";
}

}  // namespace

QSqlQuery TestTableQuery(ArchiveConnection& connection, const TestFilter& filter,
                         const std::optional<TestSort>& sort) {
    FilterSql where = FilterSqlOf(filter);
    QStringList columns;
    for (const ColumnSql& column : kColumnSql)
        columns << column.shown;
    QSqlQuery query(connection.db());
    query.prepare("SELECT " + columns.join(", ") +
                  " FROM tests t JOIN instruments i ON i.id = t.instrument_id" + where.where +
                  " ORDER BY " + OrderSql(sort));
    for (const QVariant& value : where.values)
        query.addBindValue(value);
    query.exec();
    return query;
}

}  // namespace qm4250
