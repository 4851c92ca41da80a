#include "archive/test_selection.h"

#include <QSqlQuery>
#include <map>

#include "archive/archive_connection.h"
#include "archive/kept_text.h"
#include "archive/schema.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

std::string Bytes(const QVariant& value) {
    return ReceivedBytes(value.toString());
}

}  // namespace

Result<std::vector<History>, ArchiveError> SelectTests(const ArchiveLocation& location,
                                                       const TestFilter& filter) {
    ArchiveConnection connection(location, ArchiveConnection::Access::Read);
    if (!connection.isOpen())
        return connection.error();
    if (Result<void, ArchiveError> readable = CheckReadable(connection); !readable)
        return readable.error();
    QSqlQuery query(connection.db());
    if (!SelectFiltered(query,
                        "i.serial, i.model, t.seq, t.pn, t.cust_code, t.leak_text, t.error_code,"
                        " t.time_seconds, t.relay_field, t.power_up, t.relay_gp, t.relay_bp,"
                        " t.relay_ge",
                        filter))
        return connection.failure(query.lastError());
    std::map<std::string, History> bySerial;
    while (query.next()) {
        std::string serial = Bytes(query.value(0));
        History& history = bySerial[serial];
        if (!history.identification) {
            std::string model = Bytes(query.value(1));
            history.identification = Identification{serial, ModelCodeOf(model), model};
        }
        int32_t seconds = query.value(7).toInt();
        std::string relayField = Bytes(query.value(8));
        bool numeric = false;
        int relays = QString::fromStdString(relayField).toInt(&numeric);
        if (!numeric || relays < INT16_MIN || relays > INT16_MAX)
            relays = query.value(9).toInt() | query.value(10).toInt() << 2 |
                     query.value(11).toInt() << 3 | query.value(12).toInt() << 4;
        history.records.emplace_back(TestRecord::Fields{
            Bytes(query.value(2)), Bytes(query.value(3)), Bytes(query.value(4)),
            Bytes(query.value(5)), Bytes(query.value(6)), seconds, TimeDateOf(seconds).view(),
            relayField, static_cast<int16_t>(relays)});
    }
    // A damaged page ends the loop like the last row would: the selection is then not whole.
    if (query.lastError().isValid())
        return connection.failure(query.lastError());
    std::vector<History> histories;
    histories.reserve(bySerial.size());
    for (auto& [serial, history] : bySerial)
        histories.push_back(std::move(history));
    return histories;
}

size_t TestCount(const std::vector<History>& histories) {
    size_t tests = 0;
    for (const History& history : histories)
        tests += history.records.size();
    return tests;
}

}  // namespace qm4250
