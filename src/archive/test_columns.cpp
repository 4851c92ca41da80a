#include "archive/test_columns.h"

#include <QStringList>
#include <charconv>
#include <cmath>

namespace qm4250 {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A leak as the instrument sends it: an optional minus, digits, and a fraction. QString::toDouble()
// and std::from_chars read such a text alike.
bool IsPlainDecimal(std::string_view text) {
    size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    size_t digits = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    if (at == digits)
        return false;
    if (at == text.size())
        return true;
    if (text[at] != '.' || ++at == text.size())
        return false;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at == text.size();
}

}  // namespace

QString TestColumnNames() {
    QStringList names;
    for (const TestColumnDefinition& column : kTestColumns)
        names << column.name;
    return names.join(", ");
}

// QString::toDouble() took a tenth of a test's insert; std::from_chars, as correctly rounded, takes
// the leaks the instrument sends, and Qt any other text.
std::optional<double> LeakNumber(std::string_view text) {
    double value = 0;
    if (IsPlainDecimal(text) &&
        std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc())
        return value;
    bool ok = false;
    value = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace qm4250
