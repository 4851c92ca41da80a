#include "archive/pn_batches.h"

#include <QSqlError>
#include <algorithm>

namespace qm4250 {

Result<void, ArchiveError> SelectByValues(ArchiveConnection& connection, const QVariantList& values,
                                          const QString& sql,
                                          const std::function<void(const QSqlQuery&)>& row) {
    QSqlQuery query(connection.db());
    query.setForwardOnly(true);
    for (size_t first = 0; first < size_t(values.size()); first += kPnsPerQuery) {
        size_t count = std::min(kPnsPerQuery, size_t(values.size()) - first);
        query.prepare(sql.arg(QString("?, ").repeated(static_cast<qsizetype>(count - 1)) + "?"));
        for (size_t k = first; k < first + count; ++k)
            query.addBindValue(values[qsizetype(k)]);
        if (!query.exec())
            return connection.failure(query.lastError());
        while (query.next())
            row(query);
        if (query.lastError().isValid())
            return connection.failure(query.lastError());
    }
    return {};
}

Result<void, ArchiveError> SelectByPns(ArchiveConnection& connection,
                                       const std::vector<QString>& pns, const QString& sql,
                                       const std::function<void(const QSqlQuery&)>& row) {
    QVariantList values;
    for (const QString& pn : pns)
        values << pn;
    return SelectByValues(connection, values, sql, row);
}

}  // namespace qm4250
