#pragma once

#include <memory>

#include "archive/upload_archive.h"

namespace qm4250 {

// Uploads into a PostgreSQL archive. The tests are staged in the session's own table as they come,
// no lock held; at commit the instruments are made each in a short transaction of its own, and
// the uploads and their tests written in one, the tests in the order of their unique key. Writers
// that share instruments or tests, in whatever order their files hold them, wait on one another
// only in that one order, never in a cycle.
std::unique_ptr<UploadWrite> MakePostgresUploadWrite(const ArchiveLocation& location,
                                                     QString device, const QDateTime& when);

}  // namespace qm4250
