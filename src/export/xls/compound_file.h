#pragma once

#include <string>
#include <string_view>

namespace qm4250 {

// A Compound File (version 3, 512-byte sectors) holding one stream named "Workbook". The stream
// must be at least 4,096 bytes long, so that it lives in regular sectors.
std::string BuildCompoundFile(std::string_view workbookStream);

}  // namespace qm4250
