#include "export/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

// mkstemp makes the file readable by its owner only; a saved workbook gets the permissions any
// new file of the operator's would get.
void GiveUsualPermissions(int fd) {
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

// Creates an empty temporary file next to the target; "" when the folder does not allow it.
std::string CreateTemporaryBeside(const std::filesystem::path& target) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string hiddenName = ".";
    hiddenName += target.filename().string();
    hiddenName += ".XXXXXX";
    std::string pattern = (folder / hiddenName).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0)
        return "";
    GiveUsualPermissions(fd);
    close(fd);
    return name.data();
}

// The rename must not make visible a file whose content is still only in the page cache.
bool FlushToDisk(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    bool flushed = fsync(fd) == 0;
    return close(fd) == 0 && flushed;
}

}  // namespace

bool SaveAtomically(const std::string& target,
                    const std::function<bool(const std::string& temporaryPath)>& writeTemporary) {
    std::filesystem::path targetPath(target);
    if (!targetPath.has_filename())
        return false;
    std::string temporary = CreateTemporaryBeside(targetPath);
    if (temporary.empty())
        return false;
    bool saved = writeTemporary(temporary) && FlushToDisk(temporary) &&
                 std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!saved)
        unlink(temporary.c_str());
    return saved;
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return false;
    while (!bytes.empty()) {
        ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            close(fd);
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return close(fd) == 0;
}
