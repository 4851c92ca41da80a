#pragma once

#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <vector>

#include "archive/test_filter.h"

namespace qm4250 {

// One selected test as a chart shows it.
struct TestPoint {
    qint64 seconds = 0;          // the raw time stamp: the chart's x
    std::optional<double> leak;  // none when the leak text is not a number
    bool reject = false;
    bool powerUp = false;
    QString serial, seq, pn, custCode, leakText, errorCode, testedAt;
};

// The selected tests in time order. None, with the reason in `error`, when the query fails.
std::optional<std::vector<TestPoint>> SelectTestPoints(QSqlDatabase& db, const TestFilter& filter,
                                                       QString& error);

}  // namespace qm4250
