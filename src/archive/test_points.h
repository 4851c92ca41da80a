#pragma once

#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <vector>

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

// The selected tests in time order. None, with the reason in `error`, when the query fails.
std::optional<std::vector<TestPoint>> SelectTestPoints(QSqlDatabase& db, const TestFilter& filter,
                                                       QString& error);

// A test's fields as a tooltip shows them; empty when it cannot be read.
QString TestDetails(QSqlDatabase& db, qint64 id);

}  // namespace qm4250
