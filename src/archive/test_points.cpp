#include "archive/test_points.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qm4250 {

std::optional<std::vector<TestPoint>> SelectTestPoints(QSqlDatabase& db, const TestFilter& filter,
                                                       QString& error) {
    FilterSql where = FilterSqlOf(filter);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QString("SELECT t.time_seconds, t.leak, ") + kRejectSql +
                  ", t.power_up, i.serial, t.seq, t.pn, t.cust_code, t.leak_text, t.error_code,"
                  " t.tested_at FROM tests t JOIN instruments i ON i.id = t.instrument_id" +
                  where.where + " ORDER BY t.tested_at, t.id");
    for (const QVariant& value : where.values)
        query.addBindValue(value);
    if (!query.exec()) {
        error = query.lastError().text();
        return std::nullopt;
    }
    std::vector<TestPoint> points;
    while (query.next()) {
        TestPoint point;
        point.seconds = query.value(0).toLongLong();
        if (!query.value(1).isNull())
            point.leak = query.value(1).toDouble();
        point.reject = query.value(2).toBool();
        point.powerUp = query.value(3).toInt() != 0;
        point.serial = query.value(4).toString();
        point.seq = query.value(5).toString();
        point.pn = query.value(6).toString();
        point.custCode = query.value(7).toString();
        point.leakText = query.value(8).toString();
        point.errorCode = query.value(9).toString();
        point.testedAt = query.value(10).toString();
        points.push_back(std::move(point));
    }
    return points;
}

}  // namespace qm4250
