#include "sheets/xlsx_worksheet.h"

#include <charconv>
#include <optional>

#include "sheets/xlsx_text.h"

namespace qm4250 {

namespace {

constexpr uint64_t kMaxRows = 1'048'576;
constexpr uint64_t kMaxColumns = 16'384;

// "A1" for column 0 of row 1.
std::string CellName(uint64_t column, uint64_t row) {
    std::string letters;
    for (uint64_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(row);
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

// The number a cell's value is, when all of it is one.
std::optional<double> NumberOf(std::string_view text) {
    double value;
    std::from_chars_result read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

SheetReadResult XlsxWorksheet::read() {
    for (;;) {
        std::variant<XmlPart::Token, SheetReadError> token = xml_.next();
        if (auto* failed = std::get_if<SheetReadError>(&token))
            return *failed;
        XmlPart::Token type = std::get<XmlPart::Token>(token);
        if (type == XmlPart::Token::EndDocument)
            return std::nullopt;
        if (type == XmlPart::Token::EndElement && xml_.reader().name() == u"row") {
            if (!endRow()) {
                stopped_ = true;
                return std::nullopt;
            }
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

SheetReadResult XlsxWorksheet::startRow() {
    QStringView r = xml_.reader().attributes().value("r");
    std::optional<uint64_t> number = r.isEmpty() ? row_ + 1 : SmallNumber(r);
    if (!number || *number == 0 || *number > kMaxRows)
        return Damaged(xml_.name() + ": row " +
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

bool XlsxWorksheet::endRow() {
    inRow_ = false;
    return tooLong_ ? rows_.rowTooLong(row_) : rows_.row(row_, cells_);
}

SheetReadResult XlsxWorksheet::cell() {
    if (!inRow_)
        return Damaged(xml_.name() + " has a cell outside any row");
    QXmlStreamAttributes attributes = xml_.reader().attributes();
    QStringView r = attributes.value("r");
    std::optional<uint64_t> column = r.isEmpty() ? column_ + 1 : ColumnOf(r);
    if (!column || *column >= kMaxColumns)
        return Damaged(xml_.name() + ": cell " +
                       (r.isEmpty() ? CellName(column_ + 1, row_) : r.toString().toStdString()) +
                       " is not a cell of the sheet");
    column_ = static_cast<int64_t>(*column);
    QStringView type = attributes.value("t");
    bool shared = type == u"s";
    // A number's format is the cell's style, the first when it names none.
    std::optional<uint64_t> style;
    if (type.isEmpty() || type == u"n")
        style = attributes.hasAttribute("s") ? SmallNumber(attributes.value("s")) : uint64_t{0};
    if (SheetReadResult failed = readValue())
        return failed;
    if (shared && !valueTooLong_)
        return sharedString(*column);
    std::string text = DecodeXlsxEscapes(value_);
    std::optional<double> number = style && !valueTooLong_ ? NumberOf(text) : std::nullopt;
    std::optional<std::string> date = number ? formats_.dateText(*style, *number) : std::nullopt;
    put(*column, date ? *date : text, valueTooLong_);
    return std::nullopt;
}

// The text of the cell's <v> or <is>, whichever it has; others (a formula) are passed over.
SheetReadResult XlsxWorksheet::readValue() {
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
            return Damaged(xml_.name() + " ends inside a cell");
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

SheetReadResult XlsxWorksheet::sharedString(uint64_t column) {
    std::optional<uint64_t> index = SmallNumber(QString::fromStdString(value_));
    if (!index || *index >= strings_.size())
        return Damaged(xml_.name() + ": cell " + CellName(column, row_) +
                       " refers to a shared string that is not there");
    std::optional<std::string_view> text = strings_.at(*index);
    put(column, text.value_or(std::string_view()), !text);
    return std::nullopt;
}

void XlsxWorksheet::put(uint64_t column, std::string_view text, bool tooLong) {
    tooLong_ = tooLong_ || tooLong;
    if (column < cells_.size())
        cells_[column] = text;
}

}  // namespace qm4250
