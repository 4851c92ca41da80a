#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "archive/archive_location.h"
#include "protocol/history.h"

namespace qm4250 {

// Which archived tests to select; an empty field selects everything. Every value is bound as a
// parameter, never written into the SQL, so a PN holding quotes or "%" selects exactly itself.
struct TestFilter {
    QString instrument;  // serial number
    QString pn;
    QString custCode;
    QDate from;                // first day, inclusive
    QDate to;                  // last day, inclusive
    bool rejectsOnly = false;  // tests with an error code or without the good-part relay
};

// The selected tests, oldest first, as a history: with the identification of their instrument
// when they all come from one. None, with the reason in `error`, when the archive cannot be read.
std::optional<History> SelectTests(const ArchiveLocation& location, const TestFilter& filter,
                                   QString& error);

}  // namespace qm4250
