#include "export/xls/workbook_globals.h"

#include <cstdint>
#include <string_view>

#include "export/xls/biff_record.h"
#include "export/xls/little_endian.h"
#include "formats/utf8.h"

namespace qm4250 {

namespace {

constexpr uint16_t kUtf16CodePage = 1200;
constexpr std::string_view kFontName = "Arial";

// A short string of ASCII text: length byte, flags byte (one byte a character), characters.
void PutShortString(std::string& data, std::string_view ascii) {
    PutU8(data, static_cast<uint8_t>(ascii.size()));
    PutU8(data, 0);
    data += ascii;
}

// The user name field has a fixed size, blank-filled.
std::string WriteAccessData() {
    std::string data;
    PutU16(data, 0);
    PutU8(data, 0);
    data.resize(112, ' ');
    return data;
}

std::string Window1Data() {
    std::string data;
    for (uint16_t value : {0x0000, 0x0000, 0x4000, 0x2000, 0x0038, 0, 0, 1, 0x0258})
        PutU16(data, value);
    return data;
}

std::string FontData() {
    std::string data;
    PutU16(data, 200);     // 10 points, in twentieths
    PutU16(data, 0);       // no italic, strike-out, outline or shadow
    PutU16(data, 0x7FFF);  // the window text colour
    PutU16(data, 400);     // normal weight
    PutU16(data, 0);       // no super- or subscript
    PutU8(data, 0);        // no underline
    PutU8(data, 2);        // swiss family
    PutU8(data, 0);        // ANSI character set
    PutU8(data, 0);
    PutShortString(data, kFontName);
    return data;
}

// XF 0 is the Normal style, XF 1 to 14 the outline-level styles Excel always expects; XF 15 is
// the one cell format, inheriting everything from Normal.
std::string XfData(int index) {
    bool style = index < 15;
    uint16_t fontIndex = (index == 1 || index == 2) ? 1 : (index == 3 || index == 4) ? 2 : 0;
    std::string data;
    PutU16(data, fontIndex);
    PutU16(data, 0);                               // General number format
    PutU16(data, style ? 0xFFF5 : 0x0001);         // locked; style XFs have no parent
    PutU8(data, 0x20);                             // aligned at the bottom
    PutU8(data, 0);                                // no rotation
    PutU8(data, 0);                                // no indent
    PutU8(data, (style && index > 0) ? 0xF4 : 0);  // outline styles change only the font
    PutU32(data, 0);                               // no borders
    PutU32(data, 0);
    PutU16(data, 0x20C0);  // default pattern colours
    return data;
}

std::string NormalStyleData() {
    std::string data;
    PutU16(data, 0x8000);  // built-in style, XF 0
    PutU8(data, 0);        // Normal
    PutU8(data, 0xFF);
    return data;
}

// A sheet name: one byte a character when every character is Latin-1, else UTF-16LE.
void PutSheetName(std::string& data, std::string_view utf8) {
    std::u16string name = Utf8ToUtf16(utf8);
    bool wide = false;
    for (char16_t c : name)
        wide = wide || c > 0xFF;
    PutU8(data, static_cast<uint8_t>(name.size()));
    PutU8(data, wide ? 1 : 0);
    for (char16_t c : name) {
        if (wide)
            PutU16(data, c);
        else
            PutU8(data, static_cast<uint8_t>(c));
    }
}

std::string BoundSheetData(std::string_view name) {
    std::string data;
    PutU32(data, 0);  // stream position of the sheet's BOF, set once known
    PutU8(data, 0);   // visible
    PutU8(data, 0);   // worksheet
    PutSheetName(data, name);
    return data;
}

std::string CountryData() {
    std::string data;
    PutU16(data, 1);
    PutU16(data, 1);
    return data;
}

}  // namespace

WorkbookGlobals BuildWorkbookGlobals(const SharedStrings& strings,
                                     const std::vector<std::string>& sheetNames) {
    using namespace biff;
    std::string s;
    AppendBof(s, kWorkbookGlobals);
    AppendU16Record(s, kInterfaceHdr, kUtf16CodePage);
    AppendU16Record(s, kMms, 0);
    AppendRecord(s, kInterfaceEnd, "");
    AppendRecord(s, kWriteAccess, WriteAccessData());
    AppendU16Record(s, kCodepage, kUtf16CodePage);
    AppendU16Record(s, kDsf, 0);
    AppendU16Record(s, kWindowProtect, 0);
    AppendU16Record(s, kProtect, 0);
    AppendU16Record(s, kPassword, 0);
    AppendRecord(s, kWindow1, Window1Data());
    AppendU16Record(s, kBackup, 0);
    AppendU16Record(s, kHideObj, 0);
    AppendU16Record(s, kDateMode, 0);
    AppendU16Record(s, kPrecision, 1);
    AppendU16Record(s, kBookBool, 0);
    // Font 4 does not exist in BIFF; fonts 0 to 3 are the ones the style XFs use.
    for (int font = 0; font < 4; ++font)
        AppendRecord(s, kFont, FontData());
    for (int xf = 0; xf <= 15; ++xf)
        AppendRecord(s, kXf, XfData(xf));
    AppendRecord(s, kStyle, NormalStyleData());
    std::vector<size_t> offsetFields;
    for (const std::string& name : sheetNames) {
        offsetFields.push_back(s.size() + 4);
        AppendRecord(s, kBoundSheet, BoundSheetData(name));
    }
    AppendRecord(s, kCountry, CountryData());
    strings.AppendRecords(s);
    AppendRecord(s, kEof, "");
    return {std::move(s), std::move(offsetFields)};
}

}  // namespace qm4250
