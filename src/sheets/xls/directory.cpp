#include "sheets/xls/directory.h"

#include <string_view>
#include <vector>

#include "sheets/xls/byte_fields.h"
#include "sheets/xls/stream_reader.h"

namespace qm4250 {

namespace {

constexpr size_t kEntrySize = 128;
// Far past any workbook's; keeps the entries held to 8 MiB.
constexpr uint64_t kMaxEntries = uint64_t{1} << 18;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr size_t kReadBuffer = 64 * 1024;

enum ObjectType : uint8_t { kStream = 2, kRoot = 5 };
enum class Name : uint8_t { Other, Workbook, Book };

// What the search needs of an entry.
struct Entry {
    Name name;
    uint8_t type;
    uint32_t left;
    uint32_t right;
    uint32_t child;
    StreamEntry stream;
};

char AsciiUpper(char16_t c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

// Names are UTF-16 with a terminating NUL counted in their length, and compare in any case.
bool NameIs(const char* entry, std::string_view ascii) {
    if (U16At(entry + 0x40) != (ascii.size() + 1) * 2)
        return false;
    for (size_t k = 0; k < ascii.size(); ++k) {
        char16_t unit = U16At(entry + 2 * k);
        if (unit >= 0x80 || AsciiUpper(unit) != AsciiUpper(ascii[k]))
            return false;
    }
    return true;
}

Entry ParseEntry(const char* entry, bool wideSizes) {
    uint64_t size = U64At(entry + 0x78);
    return {NameIs(entry, "Workbook") ? Name::Workbook
            : NameIs(entry, "Book")   ? Name::Book
                                      : Name::Other,
            static_cast<uint8_t>(entry[0x42]),
            U32At(entry + 0x44),
            U32At(entry + 0x48),
            U32At(entry + 0x4C),
            {U32At(entry + 0x74), wideSizes ? size : size & 0xFFFFFFFF}};
}

SheetReadResult ReadEntries(SectorTable& sectors, const CompoundFileHeader& header,
                            std::vector<Entry>& entries) {
    uint32_t length;
    if (SheetReadResult error =
            sectors.chainLength(header.firstDirectorySector, "the directory", length))
        return error;
    uint64_t size = uint64_t{length} * sectors.sectorSize();
    if (size / kEntrySize > kMaxEntries)
        return TooLarge("the directory has more than 262,144 entries");
    StreamReader directory(sectors, header.firstDirectorySector, size, "the directory",
                           kReadBuffer);
    entries.reserve(size / kEntrySize);
    char entry[kEntrySize];
    while (directory.remaining() > 0) {
        if (SheetReadResult error = directory.read(entry, kEntrySize))
            return error;
        entries.push_back(ParseEntry(entry, header.wideStreamSizes()));
    }
    if (entries.empty() || entries[0].type != kRoot)
        return Damaged("the directory does not start with the root entry");
    return std::nullopt;
}

}  // namespace

SheetReadResult FindWorkbookStream(SectorTable& sectors, const CompoundFileHeader& header,
                                   WorkbookEntries& found) {
    std::vector<Entry> entries;
    if (SheetReadResult error = ReadEntries(sectors, header, entries))
        return error;
    found.miniStream = entries[0].stream;
    // The root's children hang in a binary tree through their left and right links; walked
    // with a list of entries still to see, each entry seen once.
    std::vector<bool> seen(entries.size());
    seen[0] = true;
    std::vector<uint32_t> pending{entries[0].child};
    bool book = false;
    while (!pending.empty()) {
        uint32_t index = pending.back();
        pending.pop_back();
        if (index == kNoEntry)
            continue;
        if (index >= entries.size())
            return Damaged("a directory entry points past the end of the directory");
        if (seen[index])
            return Damaged("the directory tree loops");
        seen[index] = true;
        const Entry& entry = entries[index];
        if (entry.type == kStream && entry.name == Name::Workbook) {
            found.workbook = entry.stream;
            return std::nullopt;
        }
        book = book || (entry.type == kStream && entry.name == Name::Book);
        pending.push_back(entry.left);
        pending.push_back(entry.right);
    }
    if (book)
        return Unsupported("the file is an Excel 5 workbook (a Book stream), not Excel 97-2003");
    return Damaged("the compound file has no Workbook stream");
}

}  // namespace qm4250
