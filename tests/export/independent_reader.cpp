#include "independent_reader.h"

#include <gtest/gtest.h>

#include <cstdio>

std::string ReadWithIndependentReader(const std::string& format, const std::string& path) {
    std::string command = "/usr/bin/python3 " READ_BACK_SCRIPT " " + format + " '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << format << " reader rejected " << path;
    return output;
}

std::string Hex(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : text) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}
