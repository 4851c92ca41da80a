#include "xls_reader.h"

#include <stdexcept>

namespace qm4250 {

namespace {

constexpr size_t kSector = 512;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;

void Require(bool rule, const std::string& what) {
    if (!rule)
        throw std::runtime_error(what);
}

std::string_view SectorAt(const std::string& file, uint32_t sector) {
    size_t at = kSector + size_t{sector} * kSector;
    Require(at + kSector <= file.size(), "sector " + std::to_string(sector) + " past the end");
    return std::string_view(file).substr(at, kSector);
}

std::vector<uint32_t> FatSectorNumbers(const std::string& file) {
    std::string_view header(file.data(), kSector);
    uint32_t fatCount = U32At(header, 44);
    std::vector<uint32_t> numbers;
    for (size_t slot = 0; slot < 109 && numbers.size() < fatCount; ++slot)
        numbers.push_back(U32At(header, 76 + 4 * slot));
    uint32_t difat = U32At(header, 68);
    uint32_t difatCount = U32At(header, 72);
    for (uint32_t k = 0; k < difatCount; ++k) {
        std::string_view sector = SectorAt(file, difat);
        for (size_t slot = 0; slot < 127 && numbers.size() < fatCount; ++slot)
            numbers.push_back(U32At(sector, 4 * slot));
        difat = U32At(sector, 508);
    }
    Require(difat == kEndOfChain, "DIFAT chain does not end");
    Require(numbers.size() == fatCount, "FAT sectors missing from the DIFAT");
    return numbers;
}

std::vector<uint32_t> ReadFat(const std::string& file) {
    std::vector<uint32_t> fatSectors = FatSectorNumbers(file);
    std::vector<uint32_t> fat;
    for (uint32_t sector : fatSectors) {
        std::string_view bytes = SectorAt(file, sector);
        for (size_t k = 0; k < kSector / 4; ++k)
            fat.push_back(U32At(bytes, 4 * k));
    }
    for (uint32_t sector : fatSectors)
        Require(fat.at(sector) == kFatSector, "FAT sector not marked in the FAT");
    std::string_view header(file.data(), kSector);
    for (uint32_t k = 0, d = U32At(header, 68); k < U32At(header, 72); ++k) {
        Require(fat.at(d) == kDifatSector, "DIFAT sector not marked in the FAT");
        d = U32At(SectorAt(file, d), 508);
    }
    return fat;
}

// Characters of the Basic Multilingual Plane only, which is all the tests write.
std::string Utf8Of(std::u16string_view units) {
    std::string utf8;
    for (char16_t u : units) {
        if (u < 0x80) {
            utf8 += static_cast<char>(u);
        } else if (u < 0x800) {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (u >> 12));
            utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return utf8;
}

std::string ReadChain(const std::string& file, const std::vector<uint32_t>& fat, uint32_t start) {
    std::string bytes;
    for (uint32_t sector = start; sector != kEndOfChain; sector = fat.at(sector)) {
        Require(bytes.size() < file.size(), "sector chain loops");
        bytes += SectorAt(file, sector);
    }
    return bytes;
}

}  // namespace

uint16_t U16At(std::string_view data, size_t at) {
    Require(at + 2 <= data.size(), "read past a record's end");
    return static_cast<uint16_t>(static_cast<unsigned char>(data[at]) |
                                 static_cast<unsigned char>(data[at + 1]) << 8);
}

uint32_t U32At(std::string_view data, size_t at) {
    return U16At(data, at) | static_cast<uint32_t>(U16At(data, at + 2)) << 16;
}

std::string WorkbookStream(const std::string& file) {
    Require(file.size() % kSector == 0 && file.size() > kSector, "size not whole sectors");
    Require(file.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0, "no signature");
    std::vector<uint32_t> fat = ReadFat(file);
    std::string directory = ReadChain(file, fat, U32At(file, 48));
    std::string workbookName;
    for (char c : std::string_view("Workbook"))
        workbookName += {c, '\0'};
    for (size_t entry = 0; entry + 128 <= directory.size(); entry += 128) {
        std::string_view e = std::string_view(directory).substr(entry, 128);
        if (e.substr(0, 18) != workbookName + std::string(2, '\0') || e[66] != 2)
            continue;
        uint32_t size = U32At(e, 120);
        Require(size >= U32At(file, 56), "Workbook stream would be in the mini stream");
        std::string stream = ReadChain(file, fat, U32At(e, 116));
        Require(stream.size() == (size + kSector - 1) / kSector * kSector,
                "Workbook chain length does not match its size");
        stream.resize(size);
        return stream;
    }
    throw std::runtime_error("no Workbook stream");
}

std::vector<BiffRecord> SplitRecords(std::string_view stream) {
    std::vector<BiffRecord> records;
    size_t at = 0;
    int openSubstreams = 0;
    while (at < stream.size()) {
        if (openSubstreams == 0 && U16At(stream, at) != 0x0809) {
            Require(stream.substr(at).find_first_not_of('\0') == std::string_view::npos,
                    "bytes other than padding after the last EOF");
            break;
        }
        uint16_t length = U16At(stream, at + 2);
        Require(length <= 8224, "record longer than 8224 bytes");
        Require(at + 4 + length <= stream.size(), "record past the stream's end");
        BiffRecord r{U16At(stream, at), stream.substr(at + 4, length), at};
        openSubstreams += r.type == 0x0809 ? 1 : r.type == 0x000A ? -1 : 0;
        records.push_back(r);
        at += 4 + length;
    }
    Require(openSubstreams == 0, "substream without EOF");
    return records;
}

std::vector<SstString> ReadSst(const std::vector<BiffRecord>& records, size_t sstIndex) {
    size_t recordIndex = sstIndex;
    size_t at = 8;
    uint32_t unique = U32At(records[sstIndex].data, 4);
    auto record = [&] { return records.at(recordIndex); };
    auto nextContinue = [&] {
        ++recordIndex;
        Require(record().type == 0x003C, "SST string runs on without a CONTINUE");
        at = 0;
    };
    std::vector<SstString> strings;
    while (strings.size() < unique) {
        if (at == record().data.size())
            nextContinue();
        SstString s{"", record().position + 4 + at, record().position};
        uint16_t length = U16At(record().data, at);
        uint8_t flags = static_cast<uint8_t>(record().data.at(at + 2));
        at += 3;
        Require((flags & ~1) == 0, "SST string with rich text or extended data");
        Require(length == 0 || at < record().data.size(), "SST string header split from text");
        std::u16string units;
        while (units.size() < length) {
            if (at == record().data.size()) {
                nextContinue();
                flags = static_cast<uint8_t>(record().data.at(at++));
                Require((flags & ~1) == 0, "CONTINUE does not start with a flags byte");
            }
            bool wide = flags & 1;
            units += static_cast<char16_t>(wide ? U16At(record().data, at)
                                                : static_cast<unsigned char>(record().data[at]));
            at += wide ? 2 : 1;
        }
        s.utf8 = Utf8Of(units);
        strings.push_back(std::move(s));
    }
    Require(at == record().data.size(), "bytes left over after the last SST string");
    return strings;
}

CellTable ReadCells(const std::vector<BiffRecord>& records) {
    std::vector<SstString> strings;
    CellTable table;
    for (size_t k = 0; k < records.size(); ++k) {
        const BiffRecord& r = records[k];
        if (r.type == 0x00FC)
            strings = ReadSst(records, k);
        if (r.type != 0x00FD)
            continue;
        uint16_t row = U16At(r.data, 0);
        uint16_t column = U16At(r.data, 2);
        Require(column < 9, "cell beyond column I");
        if (table.size() <= row)
            table.resize(row + 1);
        table[row][column] = strings.at(U32At(r.data, 6)).utf8;
    }
    return table;
}

}  // namespace qm4250
