// An upload from the simulator saved in each format and read back by an independent reader.
#include <gtest/gtest.h>

#include "e2e_rig.h"
#include "expected_texts.h"
#include "independent_reader.h"
#include "save_dialog_answerer.h"

using namespace qm4250;

namespace {

// The sheet rows, as read_back.py prints them, that the replayed history of `count` records with
// record 3 garbled must give: the garbled record has no row, and record 7's PN "P;X" is whole.
std::string ExpectedSheet(int count) {
    auto line = [](std::vector<std::string> cells) {
        cells.resize(9);
        std::string text;
        for (size_t i = 0; i < cells.size(); ++i)
            text += (i ? "\t" : "") + Hex(cells[i]);
        return text + "\n";
    };
    std::string sheet = line(
        {"SEQ#", "PN", "Cust Code", "Leak", "Error", "Time/Date", "GPRelay", "BPRelay", "GERelay"});
    sheet += line({"SN = 4250117", "Model: Norvik"});
    for (int k = 1; k <= count; ++k) {
        if (k == 3)
            continue;
        bool powerUp = k % 10 == 0;
        sheet += line({std::to_string(k), ReplayedPn(k), "C" + std::to_string(k), "0.5", "",
                       "Jan 01/04 00:00:00", powerUp ? "Off" : "On", powerUp ? "Off" : "On",
                       powerUp ? "Off" : "On"});
        if (powerUp)
            sheet += line({"QM 4250 Power UP"});
    }
    return sheet;
}

class SaveAfterUpload : public EndToEndTest, public testing::WithParamInterface<const char*> {};

TEST_P(SaveAfterUpload, WritesAFileTheIndependentReaderAccepts) {
    startSimulator({"--replay", writeReplayFile(25), "--garble", "3"});
    click("cmdRequest");
    ASSERT_TRUE(waitUntilIdle());

    std::string path = folder() + "/history." + GetParam();
    SaveDialogAnswerer dialog(QString::fromStdString(path));
    click("cmdSave");
    EXPECT_EQ(statusText(), kSavedText);
    EXPECT_EQ(ReadWithIndependentReader(GetParam(), path), ExpectedSheet(25));
}

INSTANTIATE_TEST_SUITE_P(Formats, SaveAfterUpload, testing::Values("xls", "xlsx", "csv"));

}  // namespace
