#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "result/result.h"

namespace qm4250 {

// Each statement binds at most this many values, well within what either engine takes.
inline constexpr size_t kPnsPerQuery = 500;

// Runs `sql`, its %1 standing for the placeholders of a list of values, once for each batch of
// the values, and hands each row to `row`. Any error ends it. The values are bound as given.
Result<void, ArchiveError> SelectByValues(ArchiveConnection& connection, const QVariantList& values,
                                          const QString& sql,
                                          const std::function<void(const QSqlQuery&)>& row);

// The same for a list of PNs.
Result<void, ArchiveError> SelectByPns(ArchiveConnection& connection,
                                       const std::vector<QString>& pns, const QString& sql,
                                       const std::function<void(const QSqlQuery&)>& row);

}  // namespace qm4250
