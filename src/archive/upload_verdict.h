#pragma once

#include <QtGlobal>
#include <vector>

#include "analysis/new_tests_verdict.h"
#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "result/result.h"

namespace qm4250 {

// The verdict on the new tests of these uploads, for each PN of each instrument, judged as the
// archive window judges it when it opens: its tests of the 30 days up to its newest new test,
// rejects and the tests left out kept out of the limits, frozen limits where the PN has them,
// rules WE 1 and WE 4. In the order of the PNs' text; a PN with nothing to say is left out.
Result<std::vector<PartVerdict>, ArchiveError> VerdictOnUploads(ArchiveConnection& connection,
                                                                const std::vector<qint64>& uploads);
// The same on a connection of its own, for reading.
Result<std::vector<PartVerdict>, ArchiveError> VerdictOnUploads(const ArchiveLocation& location,
                                                                const std::vector<qint64>& uploads);

}  // namespace qm4250
