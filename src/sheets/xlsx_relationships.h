#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "sheets/sheet_rows.h"
#include "sheets/xml_part.h"

namespace qm4250 {

// A relationship of the workbook part to another part: the last word of its type ("worksheet",
// "chartsheet", "sharedStrings", "styles") and the part's name in the zip, none when its target
// lies outside the package.
struct XlsxRelationship {
    std::string type;
    std::optional<std::string> part;
};

// What the workbook's relationships tell a reader.
struct WorkbookRelationships {
    std::unordered_map<std::string, XlsxRelationship> byId;  // only the ids asked for
    std::optional<XlsxRelationship> sharedStrings;           // the first of its type
    std::optional<XlsxRelationship> styles;
};

// A target of the workbook's relationships as a part name: relative to xl/, or from the
// package's root with a leading "/". None when it leaves the package: an absolute URL, a network
// path, ".." past the root, or a name longer than any part's.
std::optional<std::string> WorkbookTargetPart(std::string_view target);

// Reads the workbook's relationships part (xl/_rels/workbook.xml.rels), keeping those whose ids
// are `wanted` and the first of the shared strings and of the styles: what is kept stays within
// what the workbook names, however many others there are.
SheetReadResult ReadXlsxRelationships(XmlPart& xml, const std::unordered_set<std::string>& wanted,
                                      WorkbookRelationships& found);

}  // namespace qm4250
