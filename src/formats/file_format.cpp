#include "formats/file_format.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

namespace qm4250 {

FileFormat FormatForFileName(std::string_view fileName) {
    std::string extension = std::filesystem::path(fileName).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".xlsx")
        return FileFormat::Xlsx;
    if (extension == ".csv")
        return FileFormat::Csv;
    return FileFormat::Xls;
}

}  // namespace qm4250
