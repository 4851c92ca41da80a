#include "sheets/xlsx_text.h"

#include <optional>
#include <variant>

#include "formats/utf8.h"

namespace qm4250 {

namespace {

constexpr size_t kEscapeLength = 7;  // _xHHHH_

// The code unit an escape at the start of `text` stands for.
std::optional<char32_t> EscapeAt(std::string_view text) {
    if (text.size() < kEscapeLength || text[0] != '_' || text[1] != 'x' || text[6] != '_')
        return std::nullopt;
    char32_t unit = 0;
    for (size_t k = 2; k < 6; ++k) {
        char c = text[k];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0)
            return std::nullopt;
        unit = unit * 16 + static_cast<char32_t>(digit);
    }
    return unit;
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

}  // namespace

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

std::optional<SheetReadError> ReadElementText(XmlPart& xml, bool anyText, std::string& text,
                                              bool& tooLong) {
    int inside = xml.depth();
    int textDepth = anyText ? inside : 0;
    int phoneticDepth = 0;
    text.clear();
    tooLong = false;
    for (;;) {
        std::variant<XmlPart::Token, SheetReadError> token = xml.next();
        if (auto* failed = std::get_if<SheetReadError>(&token))
            return *failed;
        const QXmlStreamReader& reader = xml.reader();
        switch (std::get<XmlPart::Token>(token)) {
            case XmlPart::Token::StartElement:
                if (reader.name() == u"rPh" && phoneticDepth == 0)
                    phoneticDepth = xml.depth();
                else if (reader.name() == u"t" && textDepth == 0)
                    textDepth = xml.depth();
                break;
            case XmlPart::Token::EndElement:
                if (xml.depth() < inside)
                    return std::nullopt;
                if (xml.depth() < textDepth)
                    textDepth = 0;
                if (xml.depth() < phoneticDepth)
                    phoneticDepth = 0;
                break;
            case XmlPart::Token::Characters: {
                if (textDepth == 0 || phoneticDepth != 0 || tooLong)
                    break;
                QByteArray utf8 = reader.text().toUtf8();
                text.append(utf8.constData(), static_cast<size_t>(utf8.size()));
                if (text.size() > kMaxCellBytes) {
                    text.clear();
                    tooLong = true;
                }
                break;
            }
            default:
                return Damaged(xml.name() + " ends inside an element");
        }
    }
}

std::string DecodeXlsxEscapes(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        std::optional<char32_t> unit = EscapeAt(utf8.substr(at));
        if (!unit) {
            out += utf8[at++];
            continue;
        }
        at += kEscapeLength;
        char32_t c = *unit;
        if (IsHighSurrogate(c)) {
            std::optional<char32_t> low = EscapeAt(utf8.substr(at));
            if (low && IsLowSurrogate(*low)) {
                c = 0x10000 + ((c - 0xD800) << 10) + (*low - 0xDC00);
                at += kEscapeLength;
            } else {
                c = 0xFFFD;
            }
        } else if (IsLowSurrogate(c)) {
            c = 0xFFFD;
        }
        AppendUtf8(c, out);
    }
    return out;
}

}  // namespace qm4250
