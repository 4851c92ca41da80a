#pragma once

#include <string_view>

namespace qm4250 {

enum class FileFormat { Xls, Xlsx, Csv };

// The format the file name's extension asks for, ignoring case. Excel 97-2003 for ".xls" and
// for every other name, with or without an extension: it is the save dialog's default type.
FileFormat FormatForFileName(std::string_view fileName);

}  // namespace qm4250
