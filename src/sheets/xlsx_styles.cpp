#include "sheets/xlsx_styles.h"

#include <cstdint>
#include <optional>
#include <string>

#include "sheets/xlsx_text.h"

namespace qm4250 {

namespace {

uint32_t NumberFormatId(const QXmlStreamAttributes& attributes) {
    return static_cast<uint32_t>(SmallNumber(attributes.value("numFmtId")).value_or(0));
}

}  // namespace

SheetReadResult ReadXlsxStyles(XmlPart& xml, CellFormats& formats) {
    // The depth of the open <numFmts> and <cellXfs>, 0 outside them: differential formats and
    // cell styles hold <numFmt> and <xf> elements that are not these.
    int numberFormats = 0;
    int cellFormats = 0;
    return xml.readToEnd([&](XmlPart::Token type) -> SheetReadResult {
        if (type == XmlPart::Token::EndElement) {
            if (xml.depth() < numberFormats)
                numberFormats = 0;
            if (xml.depth() < cellFormats)
                cellFormats = 0;
            return std::nullopt;
        }
        if (type != XmlPart::Token::StartElement)
            return std::nullopt;
        QStringView name = xml.reader().name();
        if (name == u"numFmts" && numberFormats == 0) {
            numberFormats = xml.depth();
        } else if (name == u"cellXfs" && cellFormats == 0) {
            cellFormats = xml.depth();
        } else if (name == u"numFmt" && numberFormats && xml.depth() == numberFormats + 1) {
            QXmlStreamAttributes attributes = xml.reader().attributes();
            std::optional<uint64_t> id = SmallNumber(attributes.value("numFmtId"));
            QByteArray code = attributes.value("formatCode").toUtf8();
            if (id && !formats.defineNumberFormat(static_cast<uint32_t>(*id),
                                                  std::string_view(code.constData(), code.size())))
                return TooLarge(xml.name() + " defines more than " +
                                std::to_string(CellFormats::kMaxNumberFormats) + " number formats");
        } else if (name == u"xf" && cellFormats && xml.depth() == cellFormats + 1) {
            if (!formats.addCellFormat(NumberFormatId(xml.reader().attributes())))
                return TooLarge(xml.name() + " has more than " +
                                std::to_string(CellFormats::kMaxCellFormats) + " cell formats");
        }
        return std::nullopt;
    });
}

}  // namespace qm4250
