#include "sheets/sheet_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qm4250 {

namespace {

const char* WhatItIs(mode_t mode) {
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

std::variant<FileDescriptor, SheetReadError> OpenSheetFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer that never comes.
    int fd;
    do {
        fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return SheetReadError{SheetReadError::Kind::CannotOpen, std::strerror(errno)};
    FileDescriptor file(fd);
    struct stat status;
    if (fstat(fd, &status) != 0)
        return SheetReadError{SheetReadError::Kind::CannotOpen, std::strerror(errno)};
    if (!S_ISREG(status.st_mode))
        return SheetReadError{SheetReadError::Kind::NotAFile, WhatItIs(status.st_mode)};
    if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        return SheetReadError{SheetReadError::Kind::CannotOpen, std::strerror(errno)};
    return file;
}

ssize_t ReadSome(int fd, char* buffer, size_t size) {
    ssize_t n;
    do {
        n = read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

bool ReadAt(int fd, uint64_t offset, char* buffer, size_t size) {
    while (size > 0) {
        ssize_t n = pread(fd, buffer, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buffer += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
    return true;
}

int64_t FileSize(int fd) {
    struct stat status;
    return fstat(fd, &status) == 0 ? static_cast<int64_t>(status.st_size) : -1;
}

}  // namespace qm4250
