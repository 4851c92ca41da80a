#include "archive/xlsx_shared_strings.h"

#include "archive/xlsx_text.h"
#include "archive/xml_part.h"

namespace qm4250 {

std::optional<SheetReadError> SharedStrings::read(XmlPart& xml) {
    std::string text;
    for (;;) {
        std::variant<XmlPart::Token, SheetReadError> token = xml.next();
        if (auto* failed = std::get_if<SheetReadError>(&token))
            return *failed;
        XmlPart::Token type = std::get<XmlPart::Token>(token);
        if (type == XmlPart::Token::EndDocument)
            return std::nullopt;
        if (type != XmlPart::Token::StartElement || xml.reader().name() != u"si")
            continue;
        bool tooLong = false;
        if (std::optional<SheetReadError> failed = ReadElementText(xml, false, text, tooLong))
            return failed;
        if (std::optional<SheetReadError> failed =
                add(xml.name(), DecodeXlsxEscapes(text), tooLong))
            return failed;
    }
}

std::optional<std::string_view> SharedStrings::at(size_t index) const {
    if (tooLong_[index])
        return std::nullopt;
    size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

std::optional<SheetReadError> SharedStrings::add(const std::string& part, std::string_view text,
                                                 bool tooLong) {
    if (ends_.size() == kMaxCount)
        return TooLarge(part + " holds more than " + std::to_string(kMaxCount) + " strings");
    if (text_.size() + text.size() > kMaxTextBytes)
        return TooLarge(part + " holds more than 64 MiB of text");
    text_.append(text);
    ends_.push_back(static_cast<uint32_t>(text_.size()));
    tooLong_.push_back(tooLong);
    return std::nullopt;
}

}  // namespace qm4250
