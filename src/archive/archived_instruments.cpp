#include "archive/archived_instruments.h"

#include <QSqlQuery>

#include "archive/iso_date.h"

namespace qm4250 {

std::vector<ArchivedInstrument> ArchivedInstruments(ArchiveConnection& connection) {
    std::vector<ArchivedInstrument> instruments;
    QSqlQuery query("SELECT serial, model FROM instruments ORDER BY serial", connection.db());
    while (query.next())
        instruments.push_back({query.value(0).toString(), query.value(1).toString()});
    return instruments;
}

std::optional<NewestTest> NewestTestOf(ArchiveConnection& connection, const QString& serial) {
    QSqlQuery query(connection.db());
    query.prepare(
        "SELECT t.tested_at, t.pn FROM tests t JOIN instruments i ON i.id = t.instrument_id"
        " WHERE i.serial = ? ORDER BY t.tested_at DESC, t.id DESC LIMIT 1");
    query.addBindValue(serial);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return NewestTest{IsoDate(query.value(0).toString().left(10)), query.value(1).toString()};
}

}  // namespace qm4250
