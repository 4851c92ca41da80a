#include "archive/test_filter.h"

#include <QStringList>

namespace qm4250 {

namespace {

// LIKE's own characters in the operator's text stand for themselves.
QString Contains(QString text) {
    text.replace("!", "!!").replace("%", "!%").replace("_", "!_");
    return "%" + text + "%";
}

}  // namespace

FilterSql FilterSqlOf(const TestFilter& filter) {
    QStringList clauses;
    FilterSql sql;
    auto add = [&](const QString& clause, const QVariant& value) {
        clauses << clause;
        sql.values << value;
    };
    if (!filter.instrument.isEmpty())
        add("i.serial = ?", filter.instrument);
    if (!filter.pns.isEmpty()) {
        clauses << "t.pn IN (" + QStringList(filter.pns.size(), "?").join(", ") + ")";
        for (const QString& pn : filter.pns)
            sql.values << pn;
    }
    if (!filter.custCode.isEmpty())
        add("t.cust_code = ?", filter.custCode);
    if (filter.from.isValid())
        add("t.tested_at >= ?", filter.from.toString("yyyy-MM-dd"));
    if (filter.to.isValid())
        add("t.tested_at < ?", filter.to.addDays(1).toString("yyyy-MM-dd"));
    if (filter.rejectsOnly)
        clauses << kRejectSql;
    if (!filter.search.isEmpty()) {
        clauses << "(t.seq LIKE ? ESCAPE '!' OR t.cust_code LIKE ? ESCAPE '!')";
        sql.values << Contains(filter.search) << Contains(filter.search);
    }
    if (!clauses.isEmpty())
        sql.where = " WHERE " + clauses.join(" AND ");
    return sql;
}

QString SelectFilteredSql(const QString& columns, const FilterSql& where) {
    return "SELECT " + columns + " FROM tests t JOIN instruments i ON i.id = t.instrument_id" +
           where.where + " ORDER BY t.tested_at, t.id";
}

bool SelectFiltered(QSqlQuery& query, const QString& columns, const TestFilter& filter) {
    FilterSql where = FilterSqlOf(filter);
    query.setForwardOnly(true);
    query.prepare(SelectFilteredSql(columns, where));
    for (const QVariant& value : where.values)
        query.addBindValue(value);
    return query.exec();
}

}  // namespace qm4250
