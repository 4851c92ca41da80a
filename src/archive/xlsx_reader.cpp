#include "archive/xlsx_reader.h"

#include "archive/xlsx_shared_strings.h"
#include "archive/xlsx_text.h"
#include "archive/xml_part.h"
#include "archive/zip_parts.h"

namespace qm4250 {

namespace {

constexpr uint64_t kMaxRows = 1'048'576;
constexpr uint64_t kMaxColumns = 16'384;
constexpr const char* kSheetPart = "xl/worksheets/sheet1.xml";

// "A1" for column 0 of row 1.
std::string CellName(uint64_t column, uint64_t row) {
    std::string letters;
    for (uint64_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(row);
}

// A whole number of at most seven digits, as every row number and string index is.
std::optional<uint64_t> SmallNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 7)
        return std::nullopt;
    uint64_t value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// A cell reference's column: its letters, "A" to "XFD"; the row digits after them must be a
// row of the sheet.
std::optional<uint64_t> ColumnOf(QStringView reference) {
    uint64_t column = 0;
    qsizetype letters = 0;
    for (; letters < reference.size() && letters < 4; ++letters) {
        char16_t c = QChar::toUpper(reference[letters].unicode());
        if (c < u'A' || c > u'Z')
            break;
        column = column * 26 + (c - u'A' + 1);
    }
    std::optional<uint64_t> row = SmallNumber(reference.mid(letters));
    if (letters == 0 || column > kMaxColumns || !row || *row == 0 || *row > kMaxRows)
        return std::nullopt;
    return column - 1;
}

// The sheet's rows as they are read, each handed on when its element ends.
class SheetCells {
  public:
    SheetCells(XmlPart& xml, const SharedStrings& strings, SheetRows& rows)
        : xml_(xml), strings_(strings), rows_(rows) {}

    SheetReadResult read() {
        for (;;) {
            std::variant<XmlPart::Token, SheetReadError> token = xml_.next();
            if (auto* failed = std::get_if<SheetReadError>(&token))
                return *failed;
            XmlPart::Token type = std::get<XmlPart::Token>(token);
            if (type == XmlPart::Token::EndDocument)
                return std::nullopt;
            if (type == XmlPart::Token::EndElement && xml_.reader().name() == u"row") {
                if (!endRow())
                    return std::nullopt;
                continue;
            }
            if (type != XmlPart::Token::StartElement)
                continue;
            SheetReadResult failed;
            if (xml_.reader().name() == u"row")
                failed = startRow();
            else if (xml_.reader().name() == u"c")
                failed = cell();
            if (failed)
                return failed;
        }
    }

  private:
    SheetReadResult startRow() {
        QStringView r = xml_.reader().attributes().value("r");
        std::optional<uint64_t> number = r.isEmpty() ? row_ + 1 : SmallNumber(r);
        if (!number || *number == 0 || *number > kMaxRows)
            return Damaged(std::string(kSheetPart) + ": row " +
                           (r.isEmpty() ? std::to_string(row_ + 1) : r.toString().toStdString()) +
                           " is not a row of the sheet (1 to 1,048,576)");
        row_ = *number;
        inRow_ = true;
        column_ = -1;
        tooLong_ = false;
        for (std::string& cell : cells_)
            cell.clear();
        return std::nullopt;
    }

    bool endRow() {
        inRow_ = false;
        return tooLong_ ? rows_.rowTooLong(row_) : rows_.row(row_, cells_);
    }

    SheetReadResult cell() {
        if (!inRow_)
            return Damaged(std::string(kSheetPart) + " has a cell outside any row");
        QStringView r = xml_.reader().attributes().value("r");
        std::optional<uint64_t> column = r.isEmpty() ? column_ + 1 : ColumnOf(r);
        if (!column || *column >= kMaxColumns)
            return Damaged(
                std::string(kSheetPart) + ": cell " +
                (r.isEmpty() ? CellName(column_ + 1, row_) : r.toString().toStdString()) +
                " is not a cell of the sheet");
        column_ = static_cast<int64_t>(*column);
        bool shared = xml_.reader().attributes().value("t") == u"s";
        if (SheetReadResult failed = readValue())
            return failed;
        if (shared && !valueTooLong_)
            return sharedString(*column);
        put(*column, DecodeXlsxEscapes(value_), valueTooLong_);
        return std::nullopt;
    }

    // The text of the cell's <v> or <is>, whichever it has; others (a formula) are passed over.
    SheetReadResult readValue() {
        value_.clear();
        valueTooLong_ = false;
        for (int inside = xml_.depth();;) {
            std::variant<XmlPart::Token, SheetReadError> token = xml_.next();
            if (auto* failed = std::get_if<SheetReadError>(&token))
                return *failed;
            XmlPart::Token type = std::get<XmlPart::Token>(token);
            if (type == XmlPart::Token::EndElement && xml_.depth() < inside)
                return std::nullopt;
            if (type == XmlPart::Token::EndDocument)
                return Damaged(std::string(kSheetPart) + " ends inside a cell");
            if (type != XmlPart::Token::StartElement)
                continue;
            bool inlineText = xml_.reader().name() == u"is";
            SheetReadResult failed = inlineText || xml_.reader().name() == u"v"
                                         ? ReadElementText(xml_, !inlineText, value_, valueTooLong_)
                                         : xml_.skipElement();
            if (failed)
                return failed;
        }
    }

    SheetReadResult sharedString(uint64_t column) {
        std::optional<uint64_t> index = SmallNumber(QString::fromStdString(value_));
        if (!index || *index >= strings_.size())
            return Damaged(std::string(kSheetPart) + ": cell " + CellName(column, row_) +
                           " refers to a shared string that is not there");
        std::optional<std::string_view> text = strings_.at(*index);
        put(column, text.value_or(std::string_view()), !text);
        return std::nullopt;
    }

    void put(uint64_t column, std::string_view text, bool tooLong) {
        tooLong_ = tooLong_ || tooLong;
        if (column < cells_.size())
            cells_[column] = text;
    }

    XmlPart& xml_;
    const SharedStrings& strings_;
    SheetRows& rows_;
    SheetRow cells_;
    uint64_t row_ = 0;
    bool inRow_ = false;
    int64_t column_ = -1;
    bool tooLong_ = false;
    std::string value_;
    bool valueTooLong_ = false;
};

}  // namespace

SheetReadResult ReadXlsxRows(int fd, SheetRows& rows) {
    ZipParts zip(fd);
    if (zip.error())
        return zip.error();
    SharedStrings strings;
    std::variant<bool, SheetReadError> shared = zip.open("xl/sharedStrings.xml");
    if (auto* failed = std::get_if<SheetReadError>(&shared))
        return *failed;
    if (std::get<bool>(shared)) {
        if (std::optional<SheetReadError> failed = strings.read(zip))
            return failed;
    }
    std::variant<bool, SheetReadError> sheet = zip.open(kSheetPart);
    if (auto* failed = std::get_if<SheetReadError>(&sheet))
        return *failed;
    if (!std::get<bool>(sheet))
        return Damaged("the workbook has no first worksheet");
    XmlPart xml(zip, kSheetPart);
    return SheetCells(xml, strings, rows).read();
}

}  // namespace qm4250
