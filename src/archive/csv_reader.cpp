#include "archive/csv_reader.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "archive/sheet_file.h"

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
        if (state_ == State::CarriageReturn)
            add('\r');
        return recordBytes_ == 0 || endRecord();
    }

  private:
    enum class State { Unquoted, Quoted, QuoteInQuoted, CarriageReturn };

    bool take(char c) {
        ++recordBytes_;
        switch (state_) {
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
                state_ = State::Unquoted;
                if (c == '\n')
                    return endRecord();
                add('\r');
                break;
            case State::Unquoted:
                break;
        }
        return unquoted(c);
    }

    bool unquoted(char c) {
        switch (c) {
            case '"':
                state_ = State::Quoted;
                return true;
            case ',':
                ++column_;
                return true;
            case '\r':
                state_ = State::CarriageReturn;
                return true;
            case '\n':
                return endRecord();
            default:
                add(c);
                return true;
        }
    }

    void add(char c) {
        if (recordBytes_ > kMaxCsvRecordBytes)
            tooLong_ = true;
        if (!tooLong_ && column_ < cells_.size())
            cells_[column_] += c;
    }

    bool endRecord() {
        ++number_;
        bool goOn = tooLong_ || recordBytes_ > kMaxCsvRecordBytes ? rows_.rowTooLong(number_)
                                                                  : rows_.row(number_, cells_);
        for (std::string& cell : cells_)
            cell.clear();
        column_ = 0;
        recordBytes_ = 0;
        tooLong_ = false;
        state_ = State::Unquoted;
        return goOn;
    }

    SheetRows& rows_;
    SheetRow cells_;
    size_t column_ = 0;
    size_t recordBytes_ = 0;
    bool tooLong_ = false;
    uint64_t number_ = 0;
    State state_ = State::Unquoted;
};

}  // namespace

SheetReadResult ReadCsvRows(int fd, SheetRows& rows) {
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
