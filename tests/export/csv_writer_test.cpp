#include "export/csv_writer.h"

#include <gtest/gtest.h>

#include "formats/file_format.h"

using namespace qm4250;

namespace {

TEST(CsvWriter, NineFieldsToALineQuotedOnlyWhenNeeded) {
    CellTable table{SheetRow{"SEQ#", "a,b", "say \"hi\"", "two\r\nlines", "tab\there", "",
                             "\xC3\xA9", "On", " x "},
                    SheetRow{"QM 4250 Power UP"}};
    EXPECT_EQ(CsvText(table),
              "SEQ#,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"tab\there\",,\xC3\xA9,On, x \r\n"
              "QM 4250 Power UP,,,,,,,,\r\n");
}

TEST(FileFormat, ChosenByExtensionIgnoringCaseWithXlsForEverythingElse) {
    struct Case {
        const char* name;
        FileFormat format;
    };
    for (const Case& c : std::vector<Case>{{"h.xls", FileFormat::Xls},
                                           {"dir.csv/h.XLS", FileFormat::Xls},
                                           {"h.xlsx", FileFormat::Xlsx},
                                           {"h.XlSx", FileFormat::Xlsx},
                                           {"h.csv", FileFormat::Csv},
                                           {"h.CSV", FileFormat::Csv},
                                           {"h.txt", FileFormat::Xls},
                                           {"history", FileFormat::Xls},
                                           {".csv", FileFormat::Xls}}) {
        EXPECT_EQ(FormatForFileName(c.name), c.format) << c.name;
    }
}

}  // namespace
