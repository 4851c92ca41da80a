#include "sheets/xls/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "sheets/sheet_file.h"

namespace qm4250 {

SheetReadResult ReadFileBytes(int fd, uint64_t fileSize, uint64_t offset, char* out, size_t size,
                              std::string_view what) {
    if (offset > fileSize || size > fileSize - offset)
        return Damaged(std::string(what) + " runs past the end of the file");
    errno = 0;
    if (!ReadAt(fd, offset, out, size))
        return SheetReadError{SheetReadError::Kind::Unreadable,
                              errno ? std::strerror(errno) : "the file shrank while being read"};
    return std::nullopt;
}

}  // namespace qm4250
