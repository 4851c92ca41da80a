#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "result/result.h"

namespace qm4250 {

// Writes a file by way of a temporary file in the target's folder, renamed over the target only
// once writeTemporary has written it completely (it gets the temporary file's path). On any
// failure the temporary file is removed and an existing target stays as it was. A target that is
// a symbolic link is kept: the file it leads to is the one replaced, and a replaced file keeps its
// permission bits and owner. Fails with writeTemporary's failure, or the system's reason the file
// could not be made, flushed or renamed.
Result<void> SaveAtomically(
    const std::string& target,
    const std::function<Result<void>(const std::string& temporaryPath)>& writeTemporary);

// Writes bytes to an existing file, replacing its content.
Result<void> WriteBytes(const std::string& path, std::string_view bytes);

}  // namespace qm4250
