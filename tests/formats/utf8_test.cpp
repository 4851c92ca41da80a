// The one UTF-8 encoder, which every layer above uses.
#include <gtest/gtest.h>

#include <string>

#include "formats/utf8.h"

using namespace qm4250;

namespace {

TEST(AppendUtf8, EachLengthAtItsEdges) {
    struct Case {
        char32_t codePoint;
        std::string bytes;
    };
    const Case cases[] = {
        {0x00, std::string(1, '\0')},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0xFF, "\xC3\xBF"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x2400, "\xE2\x90\x80"},
        {0xFFFD, "\xEF\xBF\xBD"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        AppendUtf8(c.codePoint, out);
        EXPECT_EQ(out, "x" + c.bytes) << std::hex << static_cast<uint32_t>(c.codePoint);
        EXPECT_TRUE(IsUtf8(c.bytes));
    }
}

}  // namespace
