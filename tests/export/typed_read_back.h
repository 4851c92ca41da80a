#pragma once

// A workbook of typed cells as read_typed_back.py, an independent reader, prints it.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

// What the reader prints for a text cell: "s" and the hex of its bytes.
inline std::string TextCell(std::string_view text) {
    static const char digits[] = "0123456789abcdef";
    std::string cell = "s";
    for (unsigned char c : text) {
        cell += digits[c >> 4];
        cell += digits[c & 15];
    }
    return cell;
}

// Fails the running test when the reader objects to the file.
inline std::string ReadTypedBack(const std::string& path) {
    std::string command = "/usr/bin/python3 " READ_TYPED_BACK_SCRIPT " '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[65536];
    for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << "the reader rejected " << path;
    return output;
}
