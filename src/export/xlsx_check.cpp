#include "export/xlsx_check.h"

#include <sys/statvfs.h>
#include <unzip.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

namespace qm4250 {

namespace {

// Where libxlsxwriter puts the sheet numbered from 0.
std::string SheetPart(size_t sheet) {
    return "xl/worksheets/sheet" + std::to_string(sheet + 1) + ".xml";
}
constexpr std::string_view kRowTag = "<row ";
constexpr size_t kHeadSize = 512;
constexpr size_t kTailSize = 128;

// What a part's text must show to be whole, gathered chunk by chunk so that a large worksheet is
// never held in memory twice.
class PartScan {
  public:
    void Add(std::string_view chunk) {
        if (head_.size() < kHeadSize)
            head_.append(chunk.substr(0, kHeadSize - head_.size()));
        CountRowTags(chunk);
        tail_.append(chunk.substr(chunk.size() - std::min(chunk.size(), kTailSize)));
        if (tail_.size() > kTailSize)
            tail_.erase(0, tail_.size() - kTailSize);
    }

    size_t Rows() const { return rows_; }

    // A truncated part has lost at least its root element's closing tag.
    bool ClosesItsRoot() const {
        std::string_view root = RootName();
        std::string_view tail = tail_;
        size_t end = tail.find_last_not_of(" \t\r\n");
        if (root.empty() || end == std::string_view::npos)
            return false;
        tail = tail.substr(0, end + 1);
        std::string closing = "</" + std::string(root) + ">";
        return tail.size() >= closing.size() &&
               tail.substr(tail.size() - closing.size()) == closing;
    }

  private:
    // A tag split between two chunks is found by scanning the end of the previous one again:
    // too short to hold a whole tag, it is never counted twice.
    void CountRowTags(std::string_view chunk) {
        std::string_view previous = tail_;
        previous.remove_prefix(previous.size() - std::min(previous.size(), kRowTag.size() - 1));
        std::string window = std::string(previous).append(chunk);
        for (size_t at = window.find(kRowTag); at != std::string::npos;
             at = window.find(kRowTag, at + 1))
            ++rows_;
    }

    // The first element after the XML declaration.
    std::string_view RootName() const {
        std::string_view head = head_;
        for (size_t at = head.find('<'); at != std::string_view::npos;
             at = head.find('<', at + 1)) {
            if (at + 1 < head.size() && head[at + 1] != '?' && head[at + 1] != '!') {
                size_t end = head.find_first_of(" \t\r\n/>", at + 1);
                return end == std::string_view::npos ? std::string_view()
                                                     : head.substr(at + 1, end - at - 1);
            }
        }
        return {};
    }

    std::string head_;
    std::string tail_;
    size_t rows_ = 0;
};

std::string CurrentEntryName(unzFile archive) {
    std::array<char, 256> name{};
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(archive, &info, name.data(), name.size() - 1, nullptr, 0, nullptr,
                                0) != UNZ_OK)
        return "";
    return name.data();
}

// Inflates the current entry; false when it is damaged (closing checks its CRC).
bool ScanCurrentEntry(unzFile archive, PartScan& scan) {
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return false;
    std::array<char, 65536> buffer;
    int read;
    while ((read = unzReadCurrentFile(archive, buffer.data(), buffer.size())) > 0)
        scan.Add(std::string_view(buffer.data(), static_cast<size_t>(read)));
    bool closed = unzCloseCurrentFile(archive) == UNZ_OK;
    return read == 0 && closed;
}

bool IsXmlPart(std::string_view name) {
    return name.ends_with(".xml") || name.ends_with(".rels");
}

// Whether the file system that holds path has less room left than a workbook's smallest part
// takes, so that a file written there may have been cut short for want of space.
bool DiskIsFull(const std::string& path) {
    constexpr unsigned long long kRoomForAPart = 64 * 1024;
    struct statvfs disk;
    return statvfs(path.c_str(), &disk) == 0 &&
           static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize < kRoomForAPart;
}

}  // namespace

bool XlsxIsComplete(const std::string& path, const std::vector<size_t>& sheetRows) {
    unzFile archive = unzOpen64(path.c_str());
    if (archive == nullptr)
        return false;
    size_t sheetsFound = 0;
    int at = unzGoToFirstFile(archive);
    for (; at == UNZ_OK; at = unzGoToNextFile(archive)) {
        std::string name = CurrentEntryName(archive);
        PartScan scan;
        bool whole = !name.empty() && ScanCurrentEntry(archive, scan) &&
                     (!IsXmlPart(name) || scan.ClosesItsRoot());
        for (size_t sheet = 0; sheet < sheetRows.size(); ++sheet) {
            if (name == SheetPart(sheet)) {
                ++sheetsFound;
                whole = whole && scan.Rows() == sheetRows[sheet];
            }
        }
        if (!whole)
            break;
    }
    unzClose(archive);
    return at == UNZ_END_OF_LIST_OF_FILE && sheetsFound == sheetRows.size();
}

Result<void> CloseAndCheckWorkbook(lxw_workbook* workbook, const std::string& path,
                                   const std::vector<size_t>& sheetRows) {
    // libxlsxwriter keeps no error number of its own, and most of its failed writes it does not
    // notice: the file read back says whether it is whole, the disk why it may not be.
    errno = 0;
    lxw_error closed = workbook_close(workbook);
    int closeError = errno;
    if (closed == LXW_NO_ERROR && XlsxIsComplete(path, sheetRows))
        return {};
    if (closed != LXW_NO_ERROR && closeError != 0)
        return Failure{Failure::Kind::System, closeError, path};
    if (DiskIsFull(path))
        return Failure{Failure::Kind::System, ENOSPC, path};
    return Failure{closed != LXW_NO_ERROR ? Failure::Kind::Writer : Failure::Kind::Incomplete, 0,
                   path};
}

}  // namespace qm4250
