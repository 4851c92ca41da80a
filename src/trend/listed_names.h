#pragma once

#include <QString>
#include <map>

#include "archive/test_points.h"

namespace qm4250 {

// How the lists, the report and a point's menu name a test, as TestNamesOf read it: its Seq#,
// followed by " of <serial>" where the instrument is asked for.
//
// A test the lookup did not return was deleted from the archive after the selection was read.
// That is no failure of the archive: the chart and the lists still hold the test as it was
// selected, so its line stays (a list keeps the count its heading gives) and says "(deleted)"
// where its Seq# would be (kDeletedTest).
inline constexpr const char* kDeletedTest = "(deleted)";
QString ListedName(const std::map<qint64, TestName>& names, qint64 id, bool withSerial);

}  // namespace qm4250
