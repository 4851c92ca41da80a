#pragma once

// Workbooks written in the tests by another program: a python3 script, with python3-openpyxl and
// python3-xlwt at hand, that saves a workbook to its first argument.

#include <cstdio>
#include <string>

namespace qm4250 {

// Runs `script` as `python3 - path arguments`: false when it failed.
inline bool WriteWithPython(const std::string& script, const std::string& path,
                            const std::string& arguments = {}) {
    FILE* python = popen(("/usr/bin/python3 - " + path + " " + arguments).c_str(), "w");
    if (!python)
        return false;
    std::fputs(script.c_str(), python);
    return pclose(python) == 0;
}

}  // namespace qm4250
