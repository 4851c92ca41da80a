#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qm4250 {

// The workbook's table of distinct cell texts (SST), which cells refer to by index.
class SharedStrings {
  public:
    // The index of utf8 in the table, adding it when new. nullopt when it is too long for a cell.
    std::optional<uint32_t> Add(std::string_view utf8);

    // Appends the SST record, the CONTINUE records it needs and the EXTSST record to stream;
    // their stream positions are taken from stream's size.
    void AppendRecords(std::string& stream) const;

  private:
    // A string as stored: one byte a character when every character is Latin-1, else UTF-16LE.
    struct Stored {
        bool wide;
        std::string characters;
        size_t Length() const { return wide ? characters.size() / 2 : characters.size(); }
    };

    // Lets a lookup take a string_view, so repeated texts cost no copy.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::vector<Stored> strings_;
    std::unordered_map<std::string, uint32_t, TextHash, std::equal_to<>> indexOf_;
    uint32_t references_ = 0;
};

}  // namespace qm4250
