#include "archive/zip_parts.h"

#include <minizip/unzip.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "archive/sheet_file.h"

namespace qm4250 {

namespace {

constexpr uLong kMaxParts = 10'000;
constexpr size_t kPieceBytes = 64 * 1024;

// minizip reads through these, from the descriptor already open: the file checked to be a
// regular one is the file read.
struct Position {
    int fd;
    uint64_t at = 0;
};

voidpf ZCALLBACK OpenFd(voidpf opaque, const void*, int) {
    return new Position{*static_cast<int*>(opaque)};
}

uLong ZCALLBACK ReadFd(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* position = static_cast<Position*>(stream);
    ssize_t n;
    do {
        n = pread(position->fd, buffer, size, static_cast<off_t>(position->at));
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return 0;
    position->at += static_cast<uint64_t>(n);
    return static_cast<uLong>(n);
}

uLong ZCALLBACK WriteFd(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK TellFd(voidpf, voidpf stream) {
    return static_cast<Position*>(stream)->at;
}

long ZCALLBACK SeekFd(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* position = static_cast<Position*>(stream);
    int64_t size = FileSize(position->fd);
    uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? position->at
                    : origin == ZLIB_FILEFUNC_SEEK_END ? static_cast<uint64_t>(size)
                                                       : 0;
    if (size < 0 || offset > static_cast<uint64_t>(size) ||
        base > static_cast<uint64_t>(size) - offset)
        return -1;
    position->at = base + offset;
    return 0;
}

int ZCALLBACK CloseFd(voidpf, voidpf stream) {
    delete static_cast<Position*>(stream);
    return 0;
}

int ZCALLBACK ErrorFd(voidpf, voidpf) {
    return 0;
}

// How far a part with this compressed size may inflate.
uint64_t InflationLimit(uint64_t compressed) {
    if (compressed >= kMaxPartBytes / kMaxInflation)
        return kMaxPartBytes;
    return std::max(kSmallPartBytes, kMaxInflation * compressed);
}

std::string MiB(uint64_t bytes) {
    return std::to_string(bytes >> 20) + " MiB";
}

}  // namespace

ZipParts::ZipParts(int fd) {
    int descriptor = fd;
    zlib_filefunc64_def functions{OpenFd, ReadFd,  WriteFd, TellFd,
                                  SeekFd, CloseFd, ErrorFd, &descriptor};
    zip_ = unzOpen2_64("", &functions);
    unz_global_info64 info;
    if (!zip_ || unzGetGlobalInfo64(zip_, &info) != UNZ_OK)
        error_ = Damaged("not a zip archive");
    else if (info.number_entry > kMaxParts)
        error_ = TooLarge("more than " + std::to_string(kMaxParts) + " parts");
}

ZipParts::~ZipParts() {
    if (zip_) {
        if (open_)
            unzCloseCurrentFile(zip_);
        unzClose(zip_);
    }
}

std::variant<bool, SheetReadError> ZipParts::open(const char* name) {
    if (open_)
        unzCloseCurrentFile(zip_);
    open_ = false;
    name_ = name;
    if (unzLocateFile(zip_, name, 1) != UNZ_OK)
        return false;
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return Damaged(name_ + ": its header cannot be read");
    if (info.flag & 1)
        return Unsupported(name_ + " is encrypted");
    if (info.uncompressed_size > InflationLimit(info.compressed_size))
        return TooLarge(
            name_ + " would inflate to " + MiB(info.uncompressed_size) +
            (info.uncompressed_size > kMaxPartBytes
                 ? ", more than " + MiB(kMaxPartBytes)
                 : ", more than " + std::to_string(kMaxInflation) + " times its compressed size"));
    if (unzOpenCurrentFile(zip_) != UNZ_OK)
        return Damaged(name_ + " cannot be inflated");
    open_ = true;
    declared_ = info.uncompressed_size;
    inflated_ = 0;
    return true;
}

std::variant<std::string_view, SheetReadError> ZipParts::next() {
    piece_.resize(kPieceBytes);
    int n = unzReadCurrentFile(zip_, piece_.data(), static_cast<unsigned>(piece_.size()));
    if (n < 0)
        return Damaged(name_ + " cannot be inflated");
    inflated_ += static_cast<uint64_t>(n);
    if (n > 0)
        return std::string_view(piece_.data(), static_cast<size_t>(n));
    open_ = false;
    // minizip stops at the declared size, and the CRC tells whether that was all there was.
    if (unzCloseCurrentFile(zip_) != UNZ_OK || inflated_ != declared_)
        return Damaged(name_ + " fails its CRC check");
    return std::string_view();
}

}  // namespace qm4250
