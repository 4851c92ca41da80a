#pragma once

#include <memory>

#include "archive/upload_archive.h"

namespace qm4250 {

// Uploads into a SQLite archive: one transaction that holds the file's write lock from the start,
// so that no other writer can come between; the tests go in as they come.
std::unique_ptr<UploadWrite> MakeSqliteUploadWrite(const ArchiveLocation& location, QString device,
                                                   const QDateTime& when);

}  // namespace qm4250
