#pragma once

#include <QSqlQuery>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"

namespace qm4250 {

// Each statement binds at most this many PNs, well within what either engine takes.
inline constexpr size_t kPnsPerQuery = 500;

// Runs `sql`, its %1 standing for the placeholders of a list of PNs, once for each batch of the
// PNs, and hands each row to `row`. Any error ends it. The PNs are bound as given.
std::optional<ArchiveError> SelectByPns(ArchiveConnection& connection,
                                        const std::vector<QString>& pns, const QString& sql,
                                        const std::function<void(const QSqlQuery&)>& row);

}  // namespace qm4250
