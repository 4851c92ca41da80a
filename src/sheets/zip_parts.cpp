#include "sheets/zip_parts.h"

#include <minizip/unzip.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sheets/sheet_file.h"

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

// Part names come from the file: errors show them as printable ASCII, and not much of them.
std::string ShownName(std::string_view name) {
    constexpr size_t kShown = 100;
    std::string shown;
    for (char c : name.substr(0, kShown))
        shown += c >= 0x20 && c < 0x7F ? c : '?';
    return name.size() > kShown ? shown + "..." : shown;
}

std::string LowerCase(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
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
    else
        error_ = indexEntries();
    uint64_t fileSize = static_cast<uint64_t>(std::max<int64_t>(FileSize(fd), 0));
    inflationLeft_ = std::max(kSmallFileInflation, kMaxInflation * fileSize);
}

// Once through the central directory, so that finding a part does not take another pass.
SheetReadResult ZipParts::indexEntries() {
    int status = unzGoToFirstFile(zip_);
    for (; status == UNZ_OK; status = unzGoToNextFile(zip_)) {
        unz_file_info64 info;
        char name[kMaxPartNameBytes];
        unz64_file_pos position;
        if (unzGetCurrentFileInfo64(zip_, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
                UNZ_OK ||
            unzGetFilePos64(zip_, &position) != UNZ_OK)
            return Damaged("the zip's directory cannot be read");
        if (info.size_filename <= sizeof name)
            entries_.try_emplace(LowerCase(std::string_view(name, info.size_filename)),
                                 Entry{position.pos_in_zip_directory, position.num_of_file});
    }
    if (status != UNZ_END_OF_LIST_OF_FILE)
        return Damaged("the zip's directory cannot be read");
    return std::nullopt;
}

ZipParts::~ZipParts() {
    if (zip_) {
        if (open_)
            unzCloseCurrentFile(zip_);
        unzClose(zip_);
    }
}

std::variant<bool, SheetReadError> ZipParts::open(const std::string& name) {
    if (open_)
        unzCloseCurrentFile(zip_);
    open_ = false;
    name_ = ShownName(name);
    auto entry = entries_.find(LowerCase(name));
    if (entry == entries_.end())
        return false;
    unz64_file_pos position{entry->second.directoryOffset, entry->second.number};
    if (unzGoToFilePos64(zip_, &position) != UNZ_OK)
        return Damaged(name_ + ": its header cannot be read");
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
    if (info.uncompressed_size > inflationLeft_)
        return TooLarge("the parts read would inflate to more than " +
                        std::to_string(kMaxInflation) + " times the file's size altogether, at " +
                        name_);
    inflationLeft_ -= info.uncompressed_size;
    if (unzOpenCurrentFile(zip_) != UNZ_OK)
        return Damaged(name_ + " cannot be inflated");
    open_ = true;
    declared_ = info.uncompressed_size;
    inflated_ = 0;
    return true;
}

SheetReadResult ZipParts::openNamed(const std::string& name) {
    std::variant<bool, SheetReadError> opened = open(name);
    if (auto* failed = std::get_if<SheetReadError>(&opened))
        return *failed;
    if (!std::get<bool>(opened))
        return Damaged("the package has no " + name_);
    return std::nullopt;
}

std::variant<std::string_view, SheetReadError> ZipParts::next() {
    if (!open_)
        return std::string_view();
    piece_.resize(kPieceBytes);
    int n = unzReadCurrentFile(zip_, piece_.data(), static_cast<unsigned>(piece_.size()));
    if (n > 0) {
        inflated_ += static_cast<uint64_t>(n);
        return std::string_view(piece_.data(), static_cast<size_t>(n));
    }
    open_ = false;
    int closed = unzCloseCurrentFile(zip_);
    if (n < 0)
        return Damaged(name_ + " cannot be inflated");
    // minizip stops at the declared size, and checks the CRC only when it got that far.
    if (inflated_ != declared_)
        return Damaged(name_ + " inflates to " + std::to_string(inflated_) +
                       " bytes, but its header declares " + std::to_string(declared_));
    if (closed != UNZ_OK)
        return Damaged(name_ + " fails its CRC check");
    return std::string_view();
}

SheetReadResult ZipParts::readRest() {
    while (open_) {
        std::variant<std::string_view, SheetReadError> piece = next();
        if (auto* failed = std::get_if<SheetReadError>(&piece))
            return *failed;
    }
    return std::nullopt;
}

}  // namespace qm4250
