#include "sheets/cell_formats.h"

#include "sheets/date_format_codes.h"

namespace qm4250 {

bool CellFormats::defineNumberFormat(uint32_t id, std::string_view code) {
    if (numberFormatIsDate_.size() == kMaxNumberFormats && !numberFormatIsDate_.contains(id))
        return false;
    numberFormatIsDate_[id] = IsDateFormatCode(code);
    return true;
}

bool CellFormats::addCellFormat(uint32_t id) {
    if (cellFormats_.size() == kMaxCellFormats)
        return false;
    cellFormats_.push_back(id);
    return true;
}

std::optional<std::string> CellFormats::dateText(uint64_t index, double value) const {
    if (index >= cellFormats_.size())
        return std::nullopt;
    uint32_t id = cellFormats_[index];
    auto defined = numberFormatIsDate_.find(id);
    bool isDate = defined != numberFormatIsDate_.end() ? defined->second : IsBuiltInDateFormat(id);
    return isDate ? SerialDateText(value, system_) : std::nullopt;
}

}  // namespace qm4250
