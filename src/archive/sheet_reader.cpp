#include "archive/sheet_reader.h"

#include <freexl.h>
#include <unzip.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <memory>

#include "export/file_format.h"

namespace qm4250 {

namespace {

constexpr size_t kColumns = std::tuple_size_v<SheetRow>;

std::string NumberText(double value) {
    return QString::number(value, 'g', 17).toStdString();
}

void Put(CellTable& table, size_t row, size_t column, std::string text) {
    if (column >= kColumns)
        return;
    if (table.size() <= row)
        table.resize(row + 1);
    table[row][column] = std::move(text);
}

std::optional<CellTable> ReadXls(const QString& path, QString& error) {
    const void* handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK) {
        freexl_close(handle);
        error = "not an Excel 97-2003 workbook FreeXL can read";
        return std::nullopt;
    }
    std::unique_ptr<const void, int (*)(const void*)> closer(handle, freexl_close);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        error = "the workbook has no worksheet";
        return std::nullopt;
    }
    CellTable table;
    table.reserve(rows);
    for (unsigned int row = 0; row < rows; ++row) {
        table.emplace_back();
        for (unsigned short column = 0; column < columns && column < kColumns; ++column) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, row, column, &cell) != FREEXL_OK)
                continue;
            switch (cell.type) {
                case FREEXL_CELL_INT:
                    Put(table, row, column, std::to_string(cell.value.int_value));
                    break;
                case FREEXL_CELL_DOUBLE:
                    Put(table, row, column, NumberText(cell.value.double_value));
                    break;
                case FREEXL_CELL_NULL:
                    break;
                default:
                    Put(table, row, column, cell.value.text_value ? cell.value.text_value : "");
            }
        }
    }
    return table;
}

// A whole part of a zip archive, or none when it is not there.
std::optional<QByteArray> ZipPart(unzFile zip, const char* name) {
    if (unzLocateFile(zip, name, 0) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
        return std::nullopt;
    QByteArray part;
    char buffer[65536];
    for (int n; (n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0;)
        part.append(buffer, n);
    bool whole = unzCloseCurrentFile(zip) == UNZ_OK;
    return whole ? std::optional<QByteArray>(part) : std::nullopt;
}

// Control characters travel in .xlsx as _xHHHH_.
QString Unescape(QString text) {
    static const QRegularExpression escaped("_x([0-9A-Fa-f]{4})_");
    QRegularExpressionMatch match;
    for (qsizetype at = 0; (at = text.indexOf(escaped, at, &match)) >= 0;) {
        text.replace(at, match.capturedLength(), QChar(match.captured(1).toUShort(nullptr, 16)));
        ++at;
    }
    return text;
}

std::vector<std::string> SharedStrings(const QByteArray& xml) {
    std::vector<std::string> strings;
    QXmlStreamReader reader(xml);
    QString current;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"si")
            current.clear();
        else if (reader.isStartElement() && reader.name() == u"t")
            current += reader.readElementText();
        else if (reader.isEndElement() && reader.name() == u"si")
            strings.push_back(Unescape(current).toStdString());
    }
    return strings;
}

size_t ColumnOf(const QString& reference) {
    size_t column = 0;
    for (QChar c : reference) {
        if (!c.isLetter())
            break;
        column = column * 26 + static_cast<size_t>(c.toUpper().unicode() - 'A' + 1);
    }
    return column == 0 ? kColumns : column - 1;
}

std::optional<CellTable> ReadXlsx(const QString& path, QString& error) {
    unzFile zip = unzOpen(QFile::encodeName(path).constData());
    if (!zip) {
        error = "not an Excel workbook (.xlsx)";
        return std::nullopt;
    }
    std::optional<QByteArray> shared = ZipPart(zip, "xl/sharedStrings.xml");
    std::optional<QByteArray> sheet = ZipPart(zip, "xl/worksheets/sheet1.xml");
    unzClose(zip);
    if (!sheet) {
        error = "the workbook has no first worksheet";
        return std::nullopt;
    }
    std::vector<std::string> strings = shared ? SharedStrings(*shared) : std::vector<std::string>{};
    CellTable table;
    QXmlStreamReader reader(*sheet);
    size_t row = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == u"row") {
            row = reader.attributes().value("r").toULongLong() - 1;
            if (table.size() <= row)
                table.resize(row + 1);
        } else if (reader.name() == u"c") {
            QString type = reader.attributes().value("t").toString();
            size_t column = ColumnOf(reader.attributes().value("r").toString());
            QString value;
            while (reader.readNextStartElement()) {
                if (reader.name() == u"v" || reader.name() == u"is")
                    value = reader.name() == u"v"
                                ? reader.readElementText()
                                : reader.readElementText(QXmlStreamReader::IncludeChildElements);
                else
                    reader.skipCurrentElement();
            }
            if (type == "s") {
                size_t index = value.toULongLong();
                Put(table, row, column, index < strings.size() ? strings[index] : "");
            } else {
                Put(table, row, column, Unescape(value).toStdString());
            }
        }
    }
    if (reader.hasError()) {
        error = "the worksheet is damaged: " + reader.errorString();
        return std::nullopt;
    }
    return table;
}

// RFC 4180: fields separated by ",", rows by CR LF or LF, quoted fields may hold both.
std::optional<CellTable> ReadCsv(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    QByteArray text = file.readAll();
    CellTable table(1);
    size_t column = 0;
    std::string field;
    bool quoted = false;
    auto endField = [&] {
        Put(table, table.size() - 1, column++, std::move(field));
        field.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            i += c == '\r';
            endField();
            table.emplace_back();
            column = 0;
        } else {
            field += c;
        }
    }
    if (!field.empty() || column > 0)
        endField();
    if (table.back() == SheetRow{})
        table.pop_back();
    return table;
}

}  // namespace

std::optional<CellTable> ReadSheet(const QString& path, QString& error) {
    switch (FormatForFileName(path.toStdString())) {
        case FileFormat::Xlsx:
            return ReadXlsx(path, error);
        case FileFormat::Csv:
            return ReadCsv(path, error);
        case FileFormat::Xls:
            break;
    }
    return ReadXls(path, error);
}

}  // namespace qm4250
