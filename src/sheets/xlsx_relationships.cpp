#include "sheets/xlsx_relationships.h"

#include <vector>

#include "sheets/zip_parts.h"

namespace qm4250 {

namespace {

constexpr std::string_view kWorkbookFolder = "xl/";

std::string Utf8(QStringView text) {
    QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

XlsxRelationship RelationshipOf(const QXmlStreamAttributes& attributes) {
    QStringView type = attributes.value("Type");
    XlsxRelationship relationship{Utf8(type.mid(type.lastIndexOf(u'/') + 1)), std::nullopt};
    if (attributes.value("TargetMode") != u"External")
        relationship.part = WorkbookTargetPart(Utf8(attributes.value("Target")));
    return relationship;
}

}  // namespace

std::optional<std::string> WorkbookTargetPart(std::string_view target) {
    size_t scheme = target.find(':');
    if (target.empty() || target.starts_with("//") ||
        (scheme != std::string_view::npos && scheme < target.find('/')))
        return std::nullopt;
    std::string path = target.starts_with('/') ? std::string(target.substr(1))
                                               : std::string(kWorkbookFolder) + std::string(target);
    // The segments, "." and ".." taken away: a part name is the path from the package's root.
    std::vector<std::string_view> segments;
    std::string_view rest = path;
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        std::string_view segment = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (segment == "..") {
            if (segments.empty())
                return std::nullopt;
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
    }
    std::string part;
    for (std::string_view segment : segments)
        part += (part.empty() ? "" : "/") + std::string(segment);
    if (part.empty() || part.size() > kMaxPartNameBytes)
        return std::nullopt;
    return part;
}

SheetReadResult ReadXlsxRelationships(XmlPart& xml, const std::unordered_set<std::string>& wanted,
                                      WorkbookRelationships& found) {
    return xml.readToEnd([&](XmlPart::Token type) -> SheetReadResult {
        if (type != XmlPart::Token::StartElement || xml.reader().name() != u"Relationship")
            return std::nullopt;
        QXmlStreamAttributes attributes = xml.reader().attributes();
        std::string id = Utf8(attributes.value("Id"));
        if (wanted.contains(id) && !found.byId.contains(id)) {
            found.byId.emplace(std::move(id), RelationshipOf(attributes));
            return std::nullopt;
        }
        XlsxRelationship relationship = RelationshipOf(attributes);
        if (relationship.type == "sharedStrings" && !found.sharedStrings)
            found.sharedStrings = std::move(relationship);
        else if (relationship.type == "styles" && !found.styles)
            found.styles = std::move(relationship);
        return std::nullopt;
    });
}

}  // namespace qm4250
