#include "app/application_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

TEST(ApplicationFolder, AWritableExecutableFolderIsKept) {
    QTemporaryDir folder;
    EXPECT_EQ(ApplicationFolder(folder.path()), folder.path());
}

TEST(ApplicationFolder, AnUnwritableOneGivesWayToTheUsersDataFolder) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QString folder = ApplicationFolder("/qm4250-no-such-folder/bin");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(folder.startsWith(home.path() + "/")) << folder.toStdString();
    EXPECT_TRUE(QDir(folder).exists()) << "created if missing";
}

}  // namespace
