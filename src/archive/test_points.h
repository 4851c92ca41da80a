#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "analysis/process_series.h"
#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/test_filter.h"
#include "result/result.h"

namespace qm4250 {

// One selected test as a chart shows it; the rest of its fields are fetched when asked for.
struct TestPoint {
    qint64 id = 0;
    qint64 seconds = 0;                         // the raw time stamp
    std::optional<double> leak;                 // none when the leak text is not a number
    LeakReading reading = LeakReading::Number;  // what it read where that is not a number
    bool reject = false;
    bool powerUp = false;
    uint32_t part = 0;  // its PN, an index into SelectedTests::pns
};

// The selected tests in time order, with their part numbers each kept once: a million tests
// carry a dozen PNs, not a million copies of them.
struct SelectedTests {
    std::vector<TestPoint> points;
    std::vector<QString> pns;  // in the order first met
};

// Any error, even after some were read, fails the selection. On SQLite the rows are read through
// the engine's own library, a million in the time Qt's SQL layer takes for a third of them.
Result<SelectedTests, ArchiveError> SelectTestPoints(ArchiveConnection& connection,
                                                     const TestFilter& filter);

// How many instruments the tests the filter selects come from.
Result<size_t, ArchiveError> InstrumentCount(ArchiveConnection& connection,
                                             const TestFilter& filter);

// A test's fields as a tooltip shows them, as plain text, the leak followed by its unit where
// there is one; empty when the archive does not hold the test.
Result<QString, ArchiveError> TestDetails(ArchiveConnection& connection, qint64 id,
                                          const QString& unit);

// How a list names a test: its Seq# and its instrument's serial, as archived.
struct TestName {
    QString seq;
    QString serial;

    bool operator==(const TestName&) const = default;
};

// The names of these tests; an id the archive does not hold is left out. Read in chunks of a
// bounded number of bound values, so any number of ids makes no statement too long for the
// engine.
Result<std::map<qint64, TestName>, ArchiveError> TestNamesOf(ArchiveConnection& connection,
                                                             const std::vector<qint64>& ids);

}  // namespace qm4250
