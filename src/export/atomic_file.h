#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qm4250 {

// Writes a file by way of a temporary file in the target's folder, renamed over the target only
// once writeTemporary has written it completely (it gets the temporary file's path and returns
// false on failure). On any failure the temporary file is removed and an existing target stays
// as it was. A target that is a symbolic link is kept: the file it leads to is the one replaced,
// and a replaced file keeps its permission bits and owner. Returns whether the target now holds
// the new content.
bool SaveAtomically(const std::string& target,
                    const std::function<bool(const std::string& temporaryPath)>& writeTemporary);

// Writes bytes to an existing file, replacing its content.
bool WriteBytes(const std::string& path, std::string_view bytes);

}  // namespace qm4250
