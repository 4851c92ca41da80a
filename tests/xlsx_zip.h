#pragma once

// Workbooks made in the tests: XML parts zipped with their real CRCs, so that whatever the parts
// hold reaches the XML readers.

#include <minizip/zip.h>

#include <string>
#include <utility>
#include <vector>

namespace qm4250 {

using ZipPart = std::pair<std::string, std::string>;  // name, content

// Each part deflated, or stored as it is (`method` 0), so that a test may change its bytes.
inline bool WriteZip(const std::string& path, const std::vector<ZipPart>& parts,
                     int method = Z_DEFLATED) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool written = true;
    for (const auto& [name, content] : parts) {
        written = written &&
                  zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                        method, Z_DEFAULT_COMPRESSION, 0) == ZIP_OK &&
                  zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())) ==
                      ZIP_OK &&
                  zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && written;
}

// The XML of a part in the spreadsheet namespace, and in that of relationships (r:).
inline std::string SpreadsheetXml(const std::string& root, const std::string& inside) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + root +
           " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
           " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
           inside + "</" + root + ">";
}

// A relationship of xl/_rels/workbook.xml.rels; `type` is the last word of its type URI.
inline std::string Relationship(const std::string& id, const std::string& type,
                                const std::string& target) {
    return "<Relationship Id=\"" + id +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + type +
           "\" Target=\"" + target + "\"/>";
}

inline std::string RelationshipsXml(const std::string& relationships) {
    return "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           relationships + "</Relationships>";
}

// A workbook made in a test: its worksheets (name, the whole XML of the part) in order, its
// shared strings, styles and <workbookPr> attributes, each left out when empty.
struct XlsxPackage {
    std::vector<std::pair<std::string, std::string>> worksheets;
    std::string sharedStrings;
    std::string styles;
    std::string workbookPr;
};

// Its parts: xl/worksheets/sheetN.xml named in xl/workbook.xml as rIdN, and the others.
inline std::vector<ZipPart> XlsxPackageParts(const XlsxPackage& package) {
    std::vector<ZipPart> parts;
    std::string sheets, relationships;
    for (size_t k = 0; k < package.worksheets.size(); ++k) {
        std::string n = std::to_string(k + 1);
        parts.push_back({"xl/worksheets/sheet" + n + ".xml", package.worksheets[k].second});
        sheets += "<sheet name=\"" + package.worksheets[k].first + "\" sheetId=\"" + n +
                  "\" r:id=\"rId" + n + "\"/>";
        relationships += Relationship("rId" + n, "worksheet", "worksheets/sheet" + n + ".xml");
    }
    if (!package.sharedStrings.empty()) {
        parts.push_back({"xl/sharedStrings.xml", package.sharedStrings});
        relationships += Relationship("rIdStrings", "sharedStrings", "sharedStrings.xml");
    }
    if (!package.styles.empty()) {
        parts.push_back({"xl/styles.xml", package.styles});
        relationships += Relationship("rIdStyles", "styles", "/xl/styles.xml");
    }
    parts.push_back(
        {"xl/workbook.xml", SpreadsheetXml("workbook", "<workbookPr " + package.workbookPr +
                                                           "/><sheets>" + sheets + "</sheets>")});
    parts.push_back({"xl/_rels/workbook.xml.rels", RelationshipsXml(relationships)});
    return parts;
}

// The parts with the one named `name` holding `content`, in its place or added.
inline std::vector<ZipPart> WithPart(std::vector<ZipPart> parts, const std::string& name,
                                     const std::string& content) {
    for (ZipPart& part : parts) {
        if (part.first == name) {
            part.second = content;
            return parts;
        }
    }
    parts.push_back({name, content});
    return parts;
}

// A workbook of one worksheet, "Sheet1", with these rows (the XML inside <sheetData>) and these
// shared strings (inside <sst>); the sheet is the first part.
inline std::vector<ZipPart> XlsxParts(const std::string& sheetData,
                                      const std::string& sharedStrings = {}) {
    XlsxPackage package;
    package.worksheets = {
        {"Sheet1", SpreadsheetXml("worksheet", "<sheetData>" + sheetData + "</sheetData>")}};
    if (!sharedStrings.empty())
        package.sharedStrings = SpreadsheetXml("sst", sharedStrings);
    return XlsxPackageParts(package);
}

}  // namespace qm4250
