#include "window/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "child_process.h"

using namespace qm4250;

namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("settings-test-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        path_ = (folder_ / "HISTPARAMS.DAT").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    void writeFile(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string readFile() {
        std::ifstream file(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
    std::string path_;
};

TEST(SettingsPath, AppendsTheFileNameWithoutASeparator) {
    EXPECT_EQ(SettingsPath("/opt/upload"), "/opt/uploadHISTPARAMS.DAT");
    EXPECT_EQ(SettingsPath("/"), "/HISTPARAMS.DAT");
}

struct ReadCase {
    const char* name;
    std::string content;
    std::optional<int> port;
};

class ReadPortSettingTable : public SettingsFileTest,
                             public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadPortSettingTable, ReadsTheFirstField) {
    writeFile(GetParam().content);
    EXPECT_EQ(ReadPortSetting(path_), GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, ReadPortSettingTable,
    testing::Values(ReadCase{"Quoted", "\"3\"\r\n", 3}, ReadCase{"Bare", "3\r\n", 3},
                    ReadCase{"BareNoNewline", "3", 3}, ReadCase{"OutsideOneToFive", "\"7\"\r\n", 7},
                    ReadCase{"Negative", "\"-12\"\r\n", -12}, ReadCase{"HalfToEvenDown", "2.5", 2},
                    ReadCase{"HalfToEvenUp", "3.5", 4},
                    ReadCase{"Letters", "abc\r\n", std::nullopt},
                    ReadCase{"Above16Bit", "40000", std::nullopt},
                    ReadCase{"Below16Bit", "\"-32769\"", std::nullopt},
                    ReadCase{"Largest16Bit", "32767", 32767}, ReadCase{"Empty", "", std::nullopt},
                    ReadCase{"EmptyQuotes", "\"\"\r\n", std::nullopt},
                    ReadCase{"LeadingBlanks", "   \"4\"  ,x", 4},
                    ReadCase{"BlanksInsideQuotes", "\" 4 \"", 4},
                    ReadCase{"CommaEndsBareField", "5 ,9", 5},
                    ReadCase{"OnlyFirstLineCounts", "\r\n3\r\n", std::nullopt},
                    ReadCase{"RestOfFileIgnored", "2\r\ngarbage\r\n", 2}),
    [](const auto& info) { return info.param.name; });

TEST_F(SettingsFileTest, AbsentFileReadsAsNothing) {
    EXPECT_EQ(ReadPortSetting(path_), std::nullopt);
}

TEST_F(SettingsFileTest, WritesOneQuotedLine) {
    ASSERT_TRUE(WritePortSetting(path_, 4));
    EXPECT_EQ(readFile(), std::string("\x22\x34\x22\x0d\x0a"));
    ASSERT_TRUE(WritePortSetting(path_, -7));
    EXPECT_EQ(readFile(), "\"-7\"\r\n");
    EXPECT_EQ(ReadPortSetting(path_), -7);
}

TEST_F(SettingsFileTest, UnwritablePathsFail) {
    EXPECT_FALSE(WritePortSetting((folder_ / "missing" / "HISTPARAMS.DAT").string(), 1));
    fs::create_directory(path_);  // a folder where the file should be
    EXPECT_FALSE(WritePortSetting(path_, 1));
    EXPECT_EQ(ReadPortSetting(path_), std::nullopt);
}

TEST_F(SettingsFileTest, AReadOnlyFolderRefusesTheFile) {
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read |
                                 fs::perms::others_exec);
    std::string outcome = InAChildProcess([&] {
        if (!BecomeAnOrdinaryUser())
            return kCannotDropRoot;
        return std::string(WritePortSetting(path_, 3) ? "written" : "refused");
    });
    fs::permissions(folder_, fs::perms::owner_all);
    if (outcome == kCannotDropRoot)
        GTEST_SKIP() << "root cannot become another user here";
    EXPECT_EQ(outcome, "refused");
    EXPECT_FALSE(fs::exists(path_));
}

}  // namespace
