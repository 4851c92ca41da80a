#include "archive/test_points.h"

#include <QSqlQuery>

namespace qm4250 {

std::variant<std::vector<TestPoint>, ArchiveError> SelectTestPoints(ArchiveConnection& connection,
                                                                    const TestFilter& filter) {
    QSqlQuery query(connection.db());
    if (!SelectFiltered(
            query, QString("t.id, t.time_seconds, t.leak, ") + kRejectSql + ", t.power_up, t.pn",
            filter))
        return connection.failure(query.lastError());
    std::vector<TestPoint> points;
    while (query.next()) {
        TestPoint point;
        point.id = query.value(0).toLongLong();
        point.seconds = query.value(1).toLongLong();
        if (!query.value(2).isNull())
            point.leak = query.value(2).toDouble();
        point.reject = query.value(3).toBool();
        point.powerUp = query.value(4).toInt() != 0;
        point.pn = query.value(5).toString();
        points.push_back(std::move(point));
    }
    if (query.lastError().isValid())
        return connection.failure(query.lastError());
    return points;
}

QString TestDetails(ArchiveConnection& connection, qint64 id) {
    QSqlQuery query(connection.db());
    query.prepare(
        "SELECT i.serial, t.seq, t.pn, t.cust_code, t.leak_text, t.error_code, t.tested_at"
        " FROM tests t JOIN instruments i ON i.id = t.instrument_id WHERE t.id = ?");
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return {};
    return QString("%1  Seq# %2\nPN %3  Cust Code %4\nLeak %5  Err %6\n%7")
        .arg(query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
             query.value(3).toString(), query.value(4).toString(), query.value(5).toString(),
             query.value(6).toString());
}

}  // namespace qm4250
