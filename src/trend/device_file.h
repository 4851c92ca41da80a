#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

#include "result/result.h"

namespace qm4250 {

// Saves what `write` writes to the device it is given (a PDF, SVG or PNG writer's output) to
// path, as SaveAtomically saves: the target replaced only once the new file is whole, nothing left
// behind on failure. Qt's writers do not say when a write failed, so the device keeps the
// system's reason. `write` returns false when its writer failed for a reason of its own.
Result<void> SaveThroughDevice(const QString& path, const std::function<bool(QIODevice&)>& write);

}  // namespace qm4250
