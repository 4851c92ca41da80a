#include "export/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// Creates an empty temporary file next to the target, or says why the folder does not allow it.
Result<std::string> CreateTemporaryBeside(const fs::path& target) {
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
        return Failure{Failure::Kind::System, errno, target.string()};
    GivePermissionsOf(target, fd);
    close(fd);
    return std::string(name.data());
}

// The rename must not make visible a file whose content is still only in the page cache.
Result<void> FlushToDisk(const std::string& path, const std::string& target) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Failure{Failure::Kind::System, errno, target};
    int flushError = fsync(fd) == 0 ? 0 : errno;
    int closeError = close(fd) == 0 ? 0 : errno;
    if (flushError != 0 || closeError != 0)
        return Failure{Failure::Kind::System, flushError != 0 ? flushError : closeError, target};
    return {};
}

Result<void> WriteFlushAndRename(
    const std::string& temporary, const std::string& file,
    const std::function<Result<void>(const std::string& temporaryPath)>& writeTemporary) {
    if (Result<void> written = writeTemporary(temporary); !written) {
        // The temporary file is of no concern to anyone: the failure is the target's.
        Failure failure = written.error();
        if (failure.object == temporary)
            failure.object = file;
        return failure;
    }
    if (Result<void> flushed = FlushToDisk(temporary, file); !flushed)
        return flushed;
    if (std::rename(temporary.c_str(), file.c_str()) != 0)
        return Failure{Failure::Kind::System, errno, file};
    return {};
}

}  // namespace

Result<void> SaveAtomically(
    const std::string& target,
    const std::function<Result<void>(const std::string& temporaryPath)>& writeTemporary) {
    fs::path targetPath(target);
    if (!targetPath.has_filename())
        return Failure{Failure::Kind::NotAFile, 0, target};
    std::string file = FileBehindLinks(targetPath);
    if (file.empty())
        return Failure{Failure::Kind::NotAFile, 0, target};
    Result<std::string> temporary = CreateTemporaryBeside(file);
    if (!temporary)
        return temporary.error();
    Result<void> saved = WriteFlushAndRename(temporary.value(), file, writeTemporary);
    if (!saved)
        unlink(temporary.value().c_str());
    return saved;
}

Result<void> WriteBytes(const std::string& path, std::string_view bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return Failure{Failure::Kind::System, errno, path};
    while (!bytes.empty()) {
        ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            int writeError = errno;
            close(fd);
            return Failure{Failure::Kind::System, writeError, path};
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    if (close(fd) != 0)
        return Failure{Failure::Kind::System, errno, path};
    return {};
}

}  // namespace qm4250
