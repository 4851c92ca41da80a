#pragma once

#include <string>

namespace qm4250 {

// Why a file was not written, with what it concerns. The front ends say it in their own words.
struct Failure {
    enum class Kind {
        System,             // the system refused: errorNumber says why (no space, no permission…)
        NothingToWrite,     // there is nothing yet to be written
        NotAFile,           // the name is a folder's, or the links it leads through loop
        Writer,             // the format's writer failed without a system cause
        Incomplete,         // read back, the file written is not whole
        SheetName,          // a worksheet name a workbook may not hold
        SheetNameTaken,     // a worksheet name that repeats another, ignoring case
        TooManyWorksheets,  // more rows than kWorksheetLimit worksheets hold
        TooManyRows,        // more rows than a worksheet of the file's format holds
        RowTooWide,         // more cells in a row than a worksheet has columns
        NotUtf8,            // a text that is not UTF-8
        CellTooLong,        // a text longer than a worksheet cell holds
    };
    Kind kind = Kind::Writer;
    int errorNumber = 0;  // System: errno
    std::string object;   // the file, or the worksheet or text at fault
};

}  // namespace qm4250
