#include "export/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace qm4250 {

namespace {

namespace fs = std::filesystem;

// As many links as the kernel itself follows before it gives up (MAXSYMLINKS).
constexpr int kMaxLinkHops = 40;

// The file a save replaces: where the chain of symbolic links starting at `target` ends, so the
// links stay and the file they point to takes the new content. "" for a chain that loops.
std::string FileBehindLinks(fs::path path) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(path, error))
            return path.string();
        fs::path next = fs::read_symlink(path, error);
        if (error)
            return "";
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return "";
}

// A replaced file keeps its owner (where this process may give it) and its permission bits; a
// new one gets those any new file of the operator's would get, not mkstemp's owner-only ones.
// The owner goes first: changing it clears the set-user-ID and set-group-ID bits.
void GivePermissionsOf(const fs::path& target, int fd) {
    struct stat existing;
    if (stat(target.c_str(), &existing) == 0) {
        if (fchown(fd, existing.st_uid, existing.st_gid) != 0)
            (void)!fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
        fchmod(fd, existing.st_mode & 07777);
        return;
    }
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

// Creates an empty temporary file next to the target; "" when the folder does not allow it.
std::string CreateTemporaryBeside(const fs::path& target) {
    fs::path folder = target.parent_path();
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
    GivePermissionsOf(target, fd);
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
    fs::path targetPath(target);
    if (!targetPath.has_filename())
        return false;
    std::string file = FileBehindLinks(targetPath);
    if (file.empty())
        return false;
    std::string temporary = CreateTemporaryBeside(file);
    if (temporary.empty())
        return false;
    bool saved = writeTemporary(temporary) && FlushToDisk(temporary) &&
                 std::rename(temporary.c_str(), file.c_str()) == 0;
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

}  // namespace qm4250
