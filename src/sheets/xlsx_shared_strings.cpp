#include "sheets/xlsx_shared_strings.h"

#include "sheets/xlsx_text.h"
#include "sheets/xml_part.h"

namespace qm4250 {

std::optional<SheetReadError> SharedStrings::read(XmlPart& xml) {
    std::string text;
    return xml.readToEnd([&](XmlPart::Token type) -> SheetReadResult {
        if (type != XmlPart::Token::StartElement || xml.reader().name() != u"si")
            return std::nullopt;
        bool tooLong = false;
        if (std::optional<SheetReadError> failed = ReadElementText(xml, false, text, tooLong))
            return failed;
        return add(xml.name(), DecodeXlsxEscapes(text), tooLong);
    });
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
