// Text from outside as messages show it: one line, nothing a terminal would act on, every
// character told apart.
#include "cli/escaped_text.h"

#include <gtest/gtest.h>

using namespace qm4250;

namespace {

struct EscapeCase {
    std::string text;
    std::string shown;
};

TEST(EscapedText, ControlsAndStrayBytesAreEscapedAndPrintableTextKept) {
    const EscapeCase cases[] = {
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.xlsx",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.xlsx"},
        {"a\nb\rc\td", "a\\nb\\rc\\td"},
        {"\x1B[31mred", "\\x1B[31mred"},
        {std::string("nul\0.csv", 8), "nul\\x00.csv"},
        {"del\x7F", "del\\x7F"},
        // C1 controls are characters, told apart from stray bytes of the same value.
        {"csi\xC2\x9B"
         "2J nel\xC2\x85",
         "csi\\u009B2J nel\\u0085"},
        {"\xC2\xA0nbsp", "\xC2\xA0nbsp"},
        {"\xE9t\xE9.csv", "\\xE9t\\xE9.csv"},
        {"\x9B"
         "2J",
         "\\x9B2J"},
        // Cut short, overlong or a surrogate: each byte on its own.
        {"\xE2\x82", "\\xE2\\x82"},
        {"\xC0\xAF", "\\xC0\\xAF"},
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
        // A backslash doubled, so that "\n" written out is not a line break shown.
        {"a\\nb", "a\\\\nb"},
    };
    for (const EscapeCase& c : cases)
        EXPECT_EQ(EscapedText(c.text), c.shown) << c.shown;
}

// A cell is shown between quotes and cut: a quote is escaped, an escape counts as one character.
TEST(ShownCell, FortyCharactersEscapedAndQuotesToo) {
    const EscapeCase cases[] = {
        {"say \"hi\"\n", "say \\\"hi\\\"\\n"},
        {std::string(40, 'x'), std::string(40, 'x')},
        {"\x1B" + std::string(40, 'y'), "\\x1B" + std::string(39, 'y') + "…"},
    };
    for (const EscapeCase& c : cases)
        EXPECT_EQ(ShownCell(c.text), c.shown) << c.shown;
}

}  // namespace
