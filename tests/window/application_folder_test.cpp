#include "window/application_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "child_process.h"
#include "window/settings_file.h"

using namespace qm4250;

namespace {

// The program installed as <parent>/bin, the settings file then being <parent>/binHISTPARAMS.DAT.
struct FolderCase {
    bool parentWritable;
    bool programFolderWritable;
    bool fileBesideProgramFolder;
};

class ApplicationFolderAsOperator : public testing::TestWithParam<FolderCase> {};

// Run as an ordinary user, since permission bits do not stop root: where does the file go, and
// can it be written there?
TEST_P(ApplicationFolderAsOperator, PutsTheSettingsFileWhereItCanBeWritten) {
    QTemporaryDir root;
    QString parent = root.path() + "/parent";
    QString program = parent + "/bin";
    QString dataHome = root.path() + "/data";
    ASSERT_TRUE(QDir().mkpath(program) && QDir().mkpath(dataHome));
    chmod(QFile::encodeName(root.path()), 0755);
    chmod(QFile::encodeName(dataHome), 0777);
    chmod(QFile::encodeName(parent), GetParam().parentWritable ? 0777 : 0755);
    chmod(QFile::encodeName(program), GetParam().programFolderWritable ? 0777 : 0755);

    qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    std::string outcome = InAChildProcess([&] {
        if (!BecomeAnOrdinaryUser())
            return kCannotDropRoot;
        std::string folder = ApplicationFolder(program).toStdString();
        return folder + (WritePortSetting(SettingsPath(folder), 3) ? " written" : " not written");
    });
    qunsetenv("XDG_DATA_HOME");
    if (outcome == kCannotDropRoot)
        GTEST_SKIP() << "root cannot become another user here";

    QString userFolder = dataHome + "/" + QCoreApplication::applicationName() + "/";
    QString expected = GetParam().fileBesideProgramFolder ? program : userFolder;
    EXPECT_EQ(outcome, expected.toStdString() + " written");
}

INSTANTIATE_TEST_SUITE_P(FolderSetUps, ApplicationFolderAsOperator,
                         testing::Values(FolderCase{true, true, true},
                                         FolderCase{false, true, false},
                                         FolderCase{true, false, true},
                                         FolderCase{false, false, false}));

}  // namespace
