#include "export/xls/shared_strings.h"

#include <algorithm>
#include <utility>

#include "export/xls/biff_record.h"
#include "export/xls/little_endian.h"
#include "formats/utf8.h"
#include "formats/worksheet_cell.h"

namespace qm4250 {

namespace {

constexpr uint8_t kWideFlag = 0x01;

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Readers look strings up through EXTSST in buckets of this many strings; at least 8, and at
// most 128 buckets.
size_t BucketSize(size_t stringCount) {
    return std::max<size_t>(8, (stringCount + 127) / 128);
}

// Writes records of one growing run (SST, then CONTINUE after CONTINUE), never letting one grow
// past the record size limit.
class RecordRun {
  public:
    RecordRun(std::string& stream) : stream_(stream) {}

    size_t Room() const { return biff::kMaxRecordData - data_.size(); }
    std::string& Data() { return data_; }
    // Where the next byte will land: in the stream, and from the start of its record's header.
    size_t StreamPosition() const { return stream_.size() + 4 + data_.size(); }
    size_t RecordOffset() const { return 4 + data_.size(); }

    void Flush() {
        biff::AppendRecord(stream_, type_, data_);
        type_ = biff::kContinue;
        data_.clear();
    }

  private:
    std::string& stream_;
    biff::RecordType type_ = biff::kSst;
    std::string data_;
};

}  // namespace

std::optional<uint32_t> SharedStrings::Add(std::string_view utf8) {
    ++references_;
    auto found = indexOf_.find(utf8);
    if (found != indexOf_.end())
        return found->second;

    Stored stored{false, std::string(utf8)};
    if (!IsAscii(utf8)) {
        std::u16string units = Utf8ToUtf16(utf8);
        stored.wide = std::any_of(units.begin(), units.end(), [](char16_t u) { return u > 0xFF; });
        stored.characters.clear();
        for (char16_t unit : units) {
            stored.characters += static_cast<char>(unit & 0xFF);
            if (stored.wide)
                stored.characters += static_cast<char>(unit >> 8);
        }
    }
    if (stored.Length() > kMaxCellCharacters)
        return std::nullopt;

    auto index = static_cast<uint32_t>(strings_.size());
    strings_.push_back(std::move(stored));
    indexOf_.emplace(utf8, index);
    return index;
}

void SharedStrings::AppendRecords(std::string& stream) const {
    std::string extSst;
    size_t bucketSize = BucketSize(strings_.size());
    PutU16(extSst, static_cast<uint16_t>(bucketSize));

    RecordRun run(stream);
    PutU32(run.Data(), references_);
    PutU32(run.Data(), static_cast<uint32_t>(strings_.size()));
    for (size_t index = 0; index < strings_.size(); ++index) {
        const Stored& s = strings_[index];
        size_t characterSize = s.wide ? 2 : 1;
        // A string's header and its first character always share a record.
        size_t headerAndFirst = 3 + (s.characters.empty() ? 0 : characterSize);
        if (run.Room() < headerAndFirst)
            run.Flush();
        if (index % bucketSize == 0) {
            PutU32(extSst, static_cast<uint32_t>(run.StreamPosition()));
            PutU16(extSst, static_cast<uint16_t>(run.RecordOffset()));
            PutU16(extSst, 0);
        }
        uint8_t flags = s.wide ? kWideFlag : 0;
        PutU16(run.Data(), static_cast<uint16_t>(s.Length()));
        PutU8(run.Data(), flags);
        for (size_t written = 0;;) {
            size_t fits = run.Room() / characterSize * characterSize;
            size_t count = std::min(fits, s.characters.size() - written);
            run.Data().append(s.characters, written, count);
            written += count;
            if (written == s.characters.size())
                break;
            // The rest of a split string starts with its flags byte again.
            run.Flush();
            PutU8(run.Data(), flags);
        }
    }
    run.Flush();
    biff::AppendRecord(stream, biff::kExtSst, extSst);
}

}  // namespace qm4250
