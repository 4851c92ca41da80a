#pragma once

#include <span>
#include <string>
#include <string_view>

namespace qm4250 {

// A Compound File (version 3, 512-byte sectors) holding one stream named "Workbook", given as the
// parts that make it up, in order. The stream must be at least 4,096 bytes long, so that it lives
// in regular sectors.
std::string BuildCompoundFile(std::span<const std::string_view> workbookStreamParts);

}  // namespace qm4250
