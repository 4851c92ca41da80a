#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "sheets/sheet_rows.h"

namespace qm4250 {

// A file descriptor, closed when this goes.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }

  private:
    int fd_;
};

// Opens a file to be read, when it is a regular file once links are followed. A FIFO, a device or
// a folder is refused by what it is, without waiting for a writer or reading a byte of it.
std::variant<FileDescriptor, SheetReadError> OpenSheetFile(const std::string& path);

// Reads up to `size` bytes, retrying when a signal interrupts: the count read, 0 at the end, -1
// on an error (errno says which).
ssize_t ReadSome(int fd, char* buffer, size_t size);

// Reads exactly `size` bytes at `offset`: false at an error or when the file ends first.
bool ReadAt(int fd, uint64_t offset, char* buffer, size_t size);

// The file's size in bytes, or -1.
int64_t FileSize(int fd);

}  // namespace qm4250
