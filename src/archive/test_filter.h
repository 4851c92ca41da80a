#pragma once

#include <QDate>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace qm4250 {

// Which archived tests to select; an empty field selects everything. Every value is bound as a
// parameter, never written into the SQL, so a PN holding quotes or "%" selects exactly itself.
struct TestFilter {
    QString instrument;  // serial number
    QStringList pns;     // any of them
    QString custCode;
    QDate from;                // first day, inclusive
    QDate to;                  // last day, inclusive
    bool rejectsOnly = false;  // tests with an error code or without the good-part relay
    QString search;            // found anywhere in Seq# or Cust Code, as plain text
};

// The filter as a WHERE clause over tests t joined with instruments i, and its values in order.
struct FilterSql {
    QString where;  // empty, or " WHERE …"
    QVariantList values;
};

FilterSql FilterSqlOf(const TestFilter& filter);

// "SELECT <columns> FROM tests t JOIN instruments i … WHERE <filter> ORDER BY time", with the
// filter's values still to be bound.
QString SelectFilteredSql(const QString& columns, const FilterSql& where);

// Runs that statement on `query`, forward only. False when it fails: the query's lastError() says
// why.
bool SelectFiltered(QSqlQuery& query, const QString& columns, const TestFilter& filter);

// What a reject is, as SQL over tests t.
inline constexpr const char* kRejectSql = "(t.error_code <> 'N' OR t.relay_gp = 0)";

}  // namespace qm4250
