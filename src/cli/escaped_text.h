#pragma once

#include <string>
#include <string_view>

#include "archive/archive_error.h"

namespace qm4250 {

// Text from outside the program (a file name, a location, an argument, a cell, what a library
// said) as a message shows it, on one line that a terminal cannot take for a command: \n, \r
// and \t, other C0 controls and DEL as \x1B, C1 controls as \u009B, a backslash as \\, and
// bytes that are not UTF-8 as \xE9 (a file name is the bytes the file system holds). Every other
// character stays as it is, non-ASCII ones among them.
std::string EscapedText(std::string_view text);

// A cell as a message shows it between quotes: its first 40 characters escaped as EscapedText
// escapes them, a quote as \", and "…" when there was more.
std::string ShownCell(std::string_view text);

// What the archive's error says, escaped: it names the location and quotes the engine.
std::string ShownError(const ArchiveError& error);

}  // namespace qm4250
