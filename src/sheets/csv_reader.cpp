#include "sheets/csv_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "formats/utf8.h"
#include "sheets/sheet_file.h"

namespace qm4250 {

namespace {

constexpr size_t kChunkBytes = 64 * 1024;

// The record being read, byte by byte, whatever the chunks the file arrives in.
class CsvRecords {
  public:
    explicit CsvRecords(SheetRows& rows) : rows_(rows) {}

    // False once the receiver stopped the reading.
    bool take(const char* bytes, size_t size) {
        for (size_t k = 0; k < size; ++k) {
            if (!take(bytes[k]))
                return false;
        }
        return true;
    }

    // The last record, when the file does not end with a line end.
    bool finish() {
        if (state_ == State::ByteOrderMark)
            byteOrderMark('\0');
        return recordBytes_ == 0 || endRecord();
    }

  private:
    enum class State { ByteOrderMark, Unquoted, Quoted, QuoteInQuoted, CarriageReturn };

    bool take(char c) {
        ++recordBytes_;
        switch (state_) {
            case State::ByteOrderMark:
                if (byteOrderMark(c))
                    return true;
                break;
            case State::Quoted:
                if (c == '"')
                    state_ = State::QuoteInQuoted;
                else
                    add(c);
                return true;
            case State::QuoteInQuoted:
                state_ = State::Unquoted;
                if (c == '"') {
                    add(c);
                    state_ = State::Quoted;
                    return true;
                }
                break;
            case State::CarriageReturn:
                // CR LF ended the record at its CR; a lone CR, as old Macs write, ends it alone.
                state_ = State::Unquoted;
                --recordBytes_;
                if (c == '\n')
                    return true;
                ++recordBytes_;
                break;
            case State::Unquoted:
                break;
        }
        return unquoted(c);
    }

    // A UTF-8 byte-order mark, as Windows programs put before the text, is no part of it.
    bool byteOrderMark(char c) {
        static constexpr char kMark[] = "\xEF\xBB\xBF";
        if (c == kMark[markBytes_]) {
            if (++markBytes_ == 3) {
                state_ = State::Unquoted;
                recordBytes_ = 0;
            }
            return true;
        }
        state_ = State::Unquoted;
        for (size_t k = 0; k < markBytes_; ++k)
            add(kMark[k]);
        return false;
    }

    bool unquoted(char c) {
        if (c == separator_ || (number_ == 0 && !separatorChosen_ && IsSeparator(c))) {
            // The header row shows which separator the file uses: the first one in it.
            separator_ = c;
            separatorChosen_ = true;
            ++column_;
            return true;
        }
        switch (c) {
            case '"':
                state_ = State::Quoted;
                return true;
            case '\r':
                state_ = State::CarriageReturn;
                [[fallthrough]];
            case '\n':
                --recordBytes_;  // the line end is no part of the record
                return endRecord();
            default:
                add(c);
                return true;
        }
    }

    // A spreadsheet program saves with "," or, where "," is the decimal comma, ";"; a tab
    // separates what is pasted from a sheet.
    static bool IsSeparator(char c) { return c == ',' || c == ';' || c == '\t'; }

    void add(char c) {
        if (recordBytes_ > kMaxCsvRecordBytes)
            tooLong_ = true;
        if (!tooLong_ && column_ < cells_.size())
            cells_[column_] += c;
    }

    bool endRecord() {
        ++number_;
        bool goOn =
            tooLong_ || recordBytes_ > kMaxCsvRecordBytes ? rows_.rowTooLong(number_) : handOn();
        for (std::string& cell : cells_)
            cell.clear();
        column_ = 0;
        recordBytes_ = 0;
        tooLong_ = false;
        if (state_ != State::CarriageReturn)
            state_ = State::Unquoted;
        return goOn;
    }

    // The record's cells as UTF-8: as they are, or from Windows-1252 when they are not UTF-8.
    bool handOn() {
        bool utf8 = std::all_of(cells_.begin(), cells_.end(),
                                [](const std::string& cell) { return IsUtf8(cell); });
        if (!utf8) {
            rows_.rowInWindows1252(number_);
            for (std::string& cell : cells_)
                cell = Latin1ToUtf8(cell);
        }
        return rows_.row(number_, cells_);
    }

    SheetRows& rows_;
    SheetRow cells_;
    size_t column_ = 0;
    size_t recordBytes_ = 0;
    bool tooLong_ = false;
    uint64_t number_ = 0;
    State state_ = State::ByteOrderMark;
    size_t markBytes_ = 0;
    char separator_ = ',';
    bool separatorChosen_ = false;
};

}  // namespace

SheetReadResult ReadCsvRows(int fd, SheetRows& rows) {
    if (!rows.sheet({}))
        return std::nullopt;
    CsvRecords records(rows);
    std::vector<char> chunk(kChunkBytes);
    for (;;) {
        ssize_t n = ReadSome(fd, chunk.data(), chunk.size());
        if (n < 0)
            return SheetReadError{SheetReadError::Kind::Unreadable, std::strerror(errno)};
        if (n == 0)
            break;
        if (!records.take(chunk.data(), static_cast<size_t>(n)))
            return std::nullopt;
    }
    records.finish();
    return std::nullopt;
}

}  // namespace qm4250
