#include "export/csv_writer.h"

#include <string_view>

namespace qm4250 {

namespace {

// Quoting every field that holds a delimiter or any control character keeps line breaks and
// other odd bytes inside their field for every reader.
bool NeedsQuotes(std::string_view text) {
    for (char c : text) {
        if (c == ',' || c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

void AppendField(std::string_view text, std::string& csv) {
    if (!NeedsQuotes(text)) {
        csv += text;
        return;
    }
    csv += '"';
    for (char c : text) {
        if (c == '"')
            csv += '"';
        csv += c;
    }
    csv += '"';
}

}  // namespace

std::string CsvText(const CellTable& table) {
    std::string csv;
    csv.reserve(table.size() * 80);
    for (const SheetRow& row : table) {
        for (size_t column = 0; column < row.size(); ++column) {
            if (column > 0)
                csv += ',';
            AppendField(row[column], csv);
        }
        csv += "\r\n";
    }
    return csv;
}

}  // namespace qm4250
