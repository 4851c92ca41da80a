// The two front ends may not include each other, so each has its own table of a line error's
// words: the command line's must stay the window's, whose texts are fixed.
#include <gtest/gtest.h>

#include <string>

#include "cli/line_error_words.h"
#include "window/status_texts.h"

using namespace qm4250;

namespace {

TEST(LineErrorWords, TheCommandLineSaysWhatTheWindowSaysAfterItsErrorDash) {
    for (LineError error :
         {LineError::Break, LineError::Framing, LineError::Overrun, LineError::RxOverflow,
          LineError::Parity, LineError::TxFull, LineError::Dcb})
        EXPECT_EQ("Error - " + std::string(LineErrorWords(error)), LineErrorText(error));
}

}  // namespace
