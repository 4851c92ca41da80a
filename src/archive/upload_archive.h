#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

#include "archive/archive_location.h"
#include "protocol/history.h"

namespace qm4250 {

// One upload as it goes into the archive.
struct ArchivedUpload {
    const History& history;
    QString device;      // the serial device it came from
    int32_t frames = 0;  // history frames received, the identification included
    QDateTime when;      // when it ended, UTC
};

// What writing an upload to the archive came to.
struct ArchiveResult {
    bool written = false;
    int newTests = 0;  // tests the archive did not hold before
    QString reason;    // why it was not written
};

// Writes the upload, its instrument, its test records and its unreadable frames to the archive in
// one transaction, creating the archive and its schema as needed. A test the archive already
// holds (same instrument serial, Seq# and raw time stamp) is not added again. On any failure the
// archive is left exactly as it was.
ArchiveResult StoreUpload(const ArchiveLocation& location, const ArchivedUpload& upload);

}  // namespace qm4250
