#include "cli/unwritable_test_text.h"

#include "cli/escaped_text.h"
#include "formats/utf8.h"

namespace qm4250 {

namespace {

// Received text is single bytes.
std::string Shown(const std::string& latin1) {
    return ShownCell(Latin1ToUtf8(latin1));
}

std::string ReasonText(const UnwritableTest& test) {
    switch (test.reason) {
        case UnwritableTest::Reason::CellTooLong:
            break;
    }
    return "its " + test.field + " is longer than a cell holds (32,767 characters)";
}

}  // namespace

std::string UnwritableTestText(const UnwritableTest& test) {
    std::string which = "test Seq# " + Shown(test.seq);
    if (test.field != "PN")
        which += ", PN " + Shown(test.pn);
    if (test.serial)
        which += " of SN " + Shown(*test.serial);
    return which + ": " + ReasonText(test);
}

}  // namespace qm4250
