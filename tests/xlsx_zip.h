#pragma once

// Workbooks made in the tests: XML parts zipped with their real CRCs, so that whatever the parts
// hold reaches the XML readers.

#include <minizip/zip.h>

#include <string>
#include <utility>
#include <vector>

namespace qm4250 {

using ZipPart = std::pair<std::string, std::string>;  // name, content

inline bool WriteZip(const std::string& path, const std::vector<ZipPart>& parts) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool written = true;
    for (const auto& [name, content] : parts) {
        written = written &&
                  zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                        Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0) == ZIP_OK &&
                  zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())) ==
                      ZIP_OK &&
                  zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && written;
}

// The first worksheet with these rows (the XML inside <sheetData>), and the shared strings.
inline std::vector<ZipPart> XlsxParts(const std::string& sheetData,
                                      const std::string& sharedStrings = {}) {
    std::vector<ZipPart> parts{
        {"xl/worksheets/sheet1.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<sheetData>" +
             sheetData + "</sheetData></worksheet>"}};
    if (!sharedStrings.empty())
        parts.push_back(
            {"xl/sharedStrings.xml",
             "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                 sharedStrings + "</sst>"});
    return parts;
}

}  // namespace qm4250
