#include "archive/test_points.h"

#include <sqlite3.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archive/native_handle.h"

namespace qm4250 {

namespace {

// Well below the bound values a statement may have: 999 in older SQLite, 65,535 in PostgreSQL.
constexpr size_t kIdsPerStatement = 500;

// What a leak that is not a number read, as LeakReading numbers it: the instrument's words for a
// reading past its range, as received or trimmed, in any case. The text is looked up only for
// such a test, so that a selection is still read from the index alone.
const QString kReadingSql =
    "CASE WHEN t.leak IS NOT NULL THEN 0 ELSE (SELECT CASE UPPER(TRIM(x.leak_text))"
    " WHEN 'OVER' THEN 1 WHEN 'UNDER' THEN 2 ELSE 3 END FROM tests x WHERE x.id = t.id) END";

const QString kColumns =
    QString("t.id, t.time_seconds, t.leak, ") + kRejectSql + ", t.power_up, t.pn, " + kReadingSql;

// Gives each PN met its index, looking up the bytes as they come without copying them.
class PartNumbers {
  public:
    explicit PartNumbers(std::vector<QString>& pns) : pns_(pns) {}

    uint32_t of(std::string_view utf8) {
        // Neighbours in time often share their PN, and a filtered PN is every row's.
        if (last_ && utf8 == last_->first)
            return last_->second;
        auto found = index_.find(utf8);
        if (found == index_.end()) {
            pns_.push_back(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
            found = index_.emplace(std::string(utf8), static_cast<uint32_t>(pns_.size() - 1)).first;
        }
        last_ = &*found;
        return found->second;
    }

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::vector<QString>& pns_;
    std::unordered_map<std::string, uint32_t, Hash, std::equal_to<>> index_;
    const std::pair<const std::string, uint32_t>* last_ = nullptr;
};

QString NamesSql(size_t ids) {
    QStringList placeholders(static_cast<qsizetype>(ids), "?");
    return "SELECT t.id, t.seq, i.serial FROM tests t JOIN instruments i ON i.id = t.instrument_id"
           " WHERE t.id IN (" +
           placeholders.join(", ") + ")";
}

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// Room for as many tests as the archive holds, up to a few million: room reserved is only
// address space until a test is written into it, where a vector grown by doubling writes a
// large selection's pages twice over.
size_t RoomForSelection(sqlite3* db) {
    constexpr sqlite3_int64 kMostReserved = 4'000'000;
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT MAX(id) FROM tests", -1, &prepared, nullptr) != SQLITE_OK)
        return 0;
    Statement statement(prepared, sqlite3_finalize);
    if (sqlite3_step(prepared) != SQLITE_ROW)
        return 0;
    return static_cast<size_t>(
        std::clamp<sqlite3_int64>(sqlite3_column_int64(prepared, 0), 0, kMostReserved));
}

std::optional<QString> ReadSqlite(sqlite3* db, const TestFilter& filter, SelectedTests& selected) {
    FilterSql where = FilterSqlOf(filter);
    QByteArray sql = (SelectFilteredSql(kColumns, where)).toUtf8();
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &prepared, nullptr) !=
        SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    Statement statement(prepared, sqlite3_finalize);
    for (int i = 0; i < where.values.size(); ++i) {
        QByteArray value = where.values[i].toString().toUtf8();
        sqlite3_bind_text(prepared, i + 1, value.constData(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    }
    PartNumbers parts(selected.pns);
    selected.points.reserve(RoomForSelection(db));
    int step;
    while ((step = sqlite3_step(prepared)) == SQLITE_ROW) {
        TestPoint point;
        point.id = sqlite3_column_int64(prepared, 0);
        point.seconds = sqlite3_column_int64(prepared, 1);
        if (sqlite3_column_type(prepared, 2) != SQLITE_NULL)
            point.leak = sqlite3_column_double(prepared, 2);
        else
            point.reading = static_cast<LeakReading>(sqlite3_column_int(prepared, 6));
        point.reject = sqlite3_column_int(prepared, 3) != 0;
        point.powerUp = sqlite3_column_int(prepared, 4) != 0;
        const auto* pn = reinterpret_cast<const char*>(sqlite3_column_text(prepared, 5));
        point.part = parts.of(pn ? std::string_view(pn, size_t(sqlite3_column_bytes(prepared, 5)))
                                 : std::string_view());
        selected.points.push_back(point);
    }
    if (step != SQLITE_DONE)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return std::nullopt;
}

std::optional<QSqlError> ReadQt(QSqlDatabase db, const TestFilter& filter,
                                SelectedTests& selected) {
    QSqlQuery query(db);
    if (!SelectFiltered(query, kColumns, filter))
        return query.lastError();
    PartNumbers parts(selected.pns);
    while (query.next()) {
        TestPoint point;
        point.id = query.value(0).toLongLong();
        point.seconds = query.value(1).toLongLong();
        if (!query.value(2).isNull())
            point.leak = query.value(2).toDouble();
        point.reject = query.value(3).toBool();
        point.powerUp = query.value(4).toInt() != 0;
        point.part = parts.of(query.value(5).toString().toStdString());
        point.reading = static_cast<LeakReading>(query.value(6).toInt());
        selected.points.push_back(point);
    }
    if (query.lastError().isValid())
        return query.lastError();
    return std::nullopt;
}

}  // namespace

Result<SelectedTests, ArchiveError> SelectTestPoints(ArchiveConnection& connection,
                                                     const TestFilter& filter) {
    SelectedTests selected;
    if (sqlite3* db = NativeHandle<sqlite3>(connection.db(), {"sqlite3*"})) {
        if (std::optional<QString> failed = ReadSqlite(db, filter, selected))
            return connection.failure(QSqlError(QString(), *failed));
        return selected;
    }
    if (std::optional<QSqlError> failed = ReadQt(connection.db(), filter, selected))
        return connection.failure(*failed);
    return selected;
}

Result<size_t, ArchiveError> InstrumentCount(ArchiveConnection& connection,
                                             const TestFilter& filter) {
    FilterSql where = FilterSqlOf(filter);
    QSqlQuery query(connection.db());
    query.prepare(
        "SELECT COUNT(DISTINCT t.instrument_id) FROM tests t JOIN instruments i"
        " ON i.id = t.instrument_id" +
        where.where);
    for (const QVariant& value : where.values)
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        return connection.failure(query.lastError());
    return static_cast<size_t>(query.value(0).toLongLong());
}

Result<QString, ArchiveError> TestDetails(ArchiveConnection& connection, qint64 id,
                                          const QString& unit) {
    QSqlQuery query(connection.db());
    query.prepare(
        "SELECT i.serial, t.seq, t.pn, t.cust_code, t.leak_text, t.error_code, t.tested_at"
        " FROM tests t JOIN instruments i ON i.id = t.instrument_id WHERE t.id = ?");
    query.addBindValue(id);
    if (!query.exec())
        return connection.failure(query.lastError());
    if (!query.next()) {
        if (query.lastError().isValid())
            return connection.failure(query.lastError());
        return QString();
    }
    QString leak = query.value(4).toString() + (unit.isEmpty() ? QString() : " " + unit);
    return QString("%1  Seq# %2\nPN %3  Cust Code %4\nLeak %5  Err %6\n%7")
        .arg(query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
             query.value(3).toString(), leak, query.value(5).toString(), query.value(6).toString());
}

Result<std::map<qint64, TestName>, ArchiveError> TestNamesOf(ArchiveConnection& connection,
                                                             const std::vector<qint64>& ids) {
    std::map<qint64, TestName> names;
    QSqlQuery query(connection.db());
    query.setForwardOnly(true);
    size_t prepared = 0;  // the number of ids the prepared statement takes
    for (size_t first = 0; first < ids.size(); first += kIdsPerStatement) {
        size_t count = std::min(kIdsPerStatement, ids.size() - first);
        if (count != prepared) {
            if (!query.prepare(NamesSql(count)))
                return connection.failure(query.lastError());
            prepared = count;
        }
        for (size_t k = 0; k < count; ++k)
            query.bindValue(static_cast<int>(k), ids[first + k]);
        if (!query.exec())
            return connection.failure(query.lastError());
        while (query.next())
            names[query.value(0).toLongLong()] = {query.value(1).toString(),
                                                  query.value(2).toString()};
        if (query.lastError().isValid())
            return connection.failure(query.lastError());
    }
    return names;
}

}  // namespace qm4250
