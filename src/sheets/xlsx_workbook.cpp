#include "sheets/xlsx_workbook.h"

#include <unordered_set>

#include "formats/utf8.h"
#include "sheets/workbook_limits.h"
#include "sheets/xlsx_relationships.h"
#include "sheets/xlsx_text.h"
#include "sheets/xml_part.h"

namespace qm4250 {

namespace {

const std::string kWorkbookPart = "xl/workbook.xml";
const std::string kRelationshipsPart = "xl/_rels/workbook.xml.rels";
constexpr size_t kMaxRelationshipIdBytes = 255;

// A sheet as xl/workbook.xml lists it: its name and the id of its relationship.
struct ListedSheet {
    std::string name;
    std::string relationship;
};

std::string Utf8(QStringView text) {
    QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

// r:id, the sheet's attribute "id" in the namespace of relationships.
QStringView RelationshipId(const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
            return attribute.value();
    }
    return {};
}

SheetReadResult ListedSheetOf(const XmlPart& xml, size_t number, ListedSheet& sheet) {
    QXmlStreamAttributes attributes = xml.reader().attributes();
    sheet.name = DecodeXlsxEscapes(Utf8(attributes.value("name")));
    sheet.relationship = Utf8(RelationshipId(attributes));
    std::string which = xml.name() + ": sheet " + std::to_string(number);
    if (Utf16Length(sheet.name) > kMaxSheetNameUnits)
        return Damaged(which + " has a name longer than 31 characters");
    if (sheet.relationship.empty())
        return Damaged(which + " names no relationship");
    if (sheet.relationship.size() > kMaxRelationshipIdBytes)
        return Damaged(which + " has a relationship id longer than 255 bytes");
    return std::nullopt;
}

// The sheets of <sheets>, in order, and the date system of <workbookPr>.
SheetReadResult ReadSheetList(XmlPart& xml, std::vector<ListedSheet>& sheets, DateSystem& dates) {
    int sheetList = 0;  // the depth of <sheets>, 0 outside it
    return xml.readToEnd([&](XmlPart::Token type) -> SheetReadResult {
        if (type == XmlPart::Token::EndElement && xml.depth() < sheetList)
            sheetList = 0;
        if (type != XmlPart::Token::StartElement)
            return std::nullopt;
        QStringView name = xml.reader().name();
        if (name == u"workbookPr") {
            QString date1904 = xml.reader().attributes().value("date1904").toString();
            if (date1904 == u"1" || date1904 == u"true")
                dates = DateSystem::From1904;
        } else if (name == u"sheets" && sheetList == 0) {
            sheetList = xml.depth();
        } else if (name == u"sheet" && sheetList && xml.depth() == sheetList + 1) {
            if (sheets.size() == kMaxSheets)
                return TooLarge(xml.name() + " lists more than " + std::to_string(kMaxSheets) +
                                " sheets");
            ListedSheet sheet;
            if (SheetReadResult failed = ListedSheetOf(xml, sheets.size() + 1, sheet))
                return failed;
            sheets.push_back(std::move(sheet));
        }
        return std::nullopt;
    });
}

// The part a relationship names, when it lies in the package.
SheetReadResult PartOf(const std::optional<XlsxRelationship>& relationship, const char* what,
                       std::string& part) {
    if (relationship && !relationship->part)
        return Damaged(std::string("the workbook's ") + what + " lie outside the package");
    if (relationship)
        part = *relationship->part;
    return std::nullopt;
}

}  // namespace

SheetReadResult ReadXlsxWorkbook(ZipParts& zip, XlsxWorkbook& book) {
    std::vector<ListedSheet> listed;
    if (SheetReadResult failed = zip.openNamed(kWorkbookPart))
        return failed;
    XmlPart workbook(zip);
    if (SheetReadResult failed = ReadSheetList(workbook, listed, book.dates))
        return failed;
    if (listed.empty())
        return Damaged("the workbook has no worksheet");

    std::unordered_set<std::string> wanted;
    for (const ListedSheet& sheet : listed)
        wanted.insert(sheet.relationship);
    WorkbookRelationships found;
    if (SheetReadResult failed = zip.openNamed(kRelationshipsPart))
        return failed;
    XmlPart relationships(zip);
    if (SheetReadResult failed = ReadXlsxRelationships(relationships, wanted, found))
        return failed;

    for (size_t k = 0; k < listed.size(); ++k) {
        auto relationship = found.byId.find(listed[k].relationship);
        std::string which = "sheet " + std::to_string(k + 1);
        if (relationship == found.byId.end())
            return Damaged(kRelationshipsPart + " has no relationship for " + which);
        if (relationship->second.type != "worksheet")
            continue;
        if (!relationship->second.part)
            return Damaged(kWorkbookPart + ": " + which + " lies outside the package");
        book.worksheets.push_back({std::move(listed[k].name), *relationship->second.part});
    }
    if (book.worksheets.empty())
        return Damaged("the workbook has no worksheet");
    if (SheetReadResult failed = PartOf(found.sharedStrings, "shared strings", book.sharedStrings))
        return failed;
    return PartOf(found.styles, "styles", book.styles);
}

}  // namespace qm4250
