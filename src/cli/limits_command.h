#pragma once

#include <QString>
#include <cstdio>
#include <optional>

#include "archive/archive_location.h"

namespace qm4250 {

// A change of a PN's tolerance as typed: each part given or not.
struct LimitsArguments {
    std::optional<double> lower, upper;
    std::optional<QString> unit;
};

// `qm4250-archive limits PN`: with an upper limit or a unit, keeps the change, what is not given
// taken from the limits that stand, and warns of a PN the archive holds no test of; without,
// shows the limits that stand and every change before. False when the archive failed.
bool RunLimitsCommand(const ArchiveLocation& archive, const QString& pn,
                      const LimitsArguments& arguments, std::FILE* out, std::FILE* err);

}  // namespace qm4250
