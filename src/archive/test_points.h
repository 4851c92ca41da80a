#pragma once

#include <QString>
#include <optional>
#include <variant>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/test_filter.h"

namespace qm4250 {

// One selected test as a chart shows it; the rest of its fields are fetched when asked for.
struct TestPoint {
    qint64 id = 0;
    qint64 seconds = 0;          // the raw time stamp: the chart's x
    std::optional<double> leak;  // none when the leak text is not a number
    bool reject = false;
    bool powerUp = false;
    QString pn;
};

// The selected tests in time order; any error, even after some were read, fails the selection.
std::variant<std::vector<TestPoint>, ArchiveError> SelectTestPoints(ArchiveConnection& connection,
                                                                    const TestFilter& filter);

// A test's fields as a tooltip shows them, as plain text; empty when it cannot be read.
QString TestDetails(ArchiveConnection& connection, qint64 id);

}  // namespace qm4250
