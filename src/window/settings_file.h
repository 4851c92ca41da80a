#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm4250 {

inline constexpr const char* kSettingsWriteFailure = "Error writing application file";

// The settings file is the application folder's path with "HISTPARAMS.DAT" appended as it is,
// without a separator: "/opt/upload" gives "/opt/uploadHISTPARAMS.DAT", "/" gives
// "/HISTPARAMS.DAT". Every earlier run found its file this way, so it stays so.
std::string SettingsPath(std::string_view applicationFolder);

// The stored port number; nullopt when the file cannot be read or its first field is not a
// number in the 16-bit signed range. Values outside 1 to 5 are returned as they are.
std::optional<int> ReadPortSetting(const std::string& path);

// Writes the port number as one quoted line ("3" CR LF). False when the file cannot be written.
bool WritePortSetting(const std::string& path, int portNumber);

}  // namespace qm4250
