#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "archive/archive_connection.h"

namespace qm4250 {

struct ArchivedInstrument {
    QString serial;
    QString model;
};

// Every instrument of the archive, in the order of their serials; none when it cannot be read.
std::vector<ArchivedInstrument> ArchivedInstruments(ArchiveConnection& connection);

// The day an instrument's newest test was made and the PN it tested.
struct NewestTest {
    QDate day;
    QString pn;
};

// None when the instrument has no test or the archive cannot be read.
std::optional<NewestTest> NewestTestOf(ArchiveConnection& connection, const QString& serial);

}  // namespace qm4250
