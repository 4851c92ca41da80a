#pragma once

#include <string>

// What read_back.py, an independent reader of the format, finds in the file: one line a sheet
// row, nine tab-separated cells, each the hex of its UTF-8 text. Fails the running test when
// the reader objects to the file.
std::string ReadWithIndependentReader(const std::string& format, const std::string& path);

// The hex of a text's bytes, as the reader prints cells.
std::string Hex(const std::string& text);
