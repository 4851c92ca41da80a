// Archive locations: what each text opens, or why it is refused before anything is made of it.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "archive/archive_location.h"
#include "cli/archive_command.h"
#include "sheets/hostile_files.h"

using namespace qm4250;

namespace {

// What a location opens, as one comparable line; "refused" for none.
std::string Opened(const QString& text) {
    std::optional<ArchiveLocation> location = ParseArchiveLocation(text);
    if (!location)
        return "refused";
    std::string opened = location->display().toStdString();
    if (!location->password.isEmpty())
        opened += " password " + location->password.toStdString();
    if (location->connectTimeoutS != 5)
        opened += " timeout " + std::to_string(location->connectTimeoutS);
    for (auto option = location->options.cbegin(); option != location->options.cend(); ++option)
        opened += " " + option.key().toStdString() + "=" + option.value().toStdString();
    return opened;
}

TEST(ArchiveLocation, EachTextOpensItsArchiveOrIsRefused) {
    struct Case {
        const char* text;
        std::string opened;
    };
    for (const Case& c : std::vector<Case>{
             {"/srv/qa/archive.sqlite", "/srv/qa/archive.sqlite"},
             {"archive.sqlite", "archive.sqlite"},
             {"./archive:2024.sqlite", "./archive:2024.sqlite"},
             {"postgresql://qa@db/plant", "postgresql://qa@db:5432/plant"},
             {"postgres://qa:s%40cret@db:6000/plant?sslmode=require&application_name=night",
              "postgresql://qa@db:6000/plant password s@cret application_name=night "
              "sslmode=require"},
             {"postgresql://qa@/plant?host=/run/postgresql",
              "postgresql://qa@/plant?host=/run/postgresql"},
             {"postgresql://db/plant?port=5433&connect_timeout=3&passfile=/etc/qa/pgpass",
              "postgresql://db:5433/plant timeout 3 passfile=/etc/qa/pgpass"},
             {"postgresql:/qa@db/plant", "refused"},
             {"sqlite://archive.sqlite", "refused"},
             {"sqlite://./x.sqlite", "refused"},
             {"http://db/plant", "refused"},
             {"2024:a.sqlite", "2024:a.sqlite"},
             {"archive:2024.sqlite", "refused"},
             {"", "refused"},
             {"postgresql://qa@db", "refused"},
             {"postgresql://qa@db/", "refused"},
             {"postgresql://qa@db/plant/more", "refused"},
             {"postgresql://qa@db:port/plant", "refused"},
             {"postgresql://qa@db/plant?port=0", "refused"},
             {"postgresql://qa@db/plant?sslmode=sometimes", "refused"},
             {"postgresql://qa@db/plant?options=-c%20statement_timeout%3D0", "refused"},
             {"postgresql://qa@db/plant?application_name=a;b", "refused"},
         }) {
        EXPECT_EQ(Opened(c.text), c.opened) << c.text;
    }
}

TEST(ArchiveLocation, TheConfigFileValueIsTakenWhole) {
    QTemporaryDir folder;
    std::string ini = (folder.path() + "/archive.ini").toStdString();
    struct Case {
        std::string content;
        QString value;
    };
    for (const Case& c : std::vector<Case>{
             {"archive=/srv/a,b;c\\d.sqlite\n", "/srv/a,b;c\\d.sqlite"},
             {"[General]\n archive = \"/srv/x y.sqlite\" \r\n", "/srv/x y.sqlite"},
             {"; archive=/commented\n[other]\narchive=/elsewhere\n", ""},
         }) {
        WriteFile(ini, c.content);
        EXPECT_EQ(ConfiguredArchive(QString::fromStdString(ini)), c.value) << c.content;
    }
}

// The user's own archive.ini before the system's (the first of XDG_CONFIG_DIRS that names one),
// both before the default.
TEST(ArchiveLocation, TheUsersConfigComesBeforeTheSystemsAndBothBeforeTheDefault) {
    QTemporaryDir folder;
    QByteArray saved[] = {qgetenv("XDG_CONFIG_HOME"), qgetenv("XDG_CONFIG_DIRS"),
                          qgetenv("QM4250_ARCHIVE")};
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path() + "/user"));
    qputenv("XDG_CONFIG_DIRS",
            QFile::encodeName(folder.path() + "/plant:" + folder.path() + "/site"));
    qunsetenv("QM4250_ARCHIVE");
    EXPECT_EQ(ChooseArchiveLocation({}).text, DefaultArchiveLocation().path);
    for (const auto& [config, archive] :
         {std::pair{"site", "/srv/site.sqlite"}, std::pair{"plant", "/srv/plant.sqlite"},
          std::pair{"user", "/home/anna/own.sqlite"}}) {
        QString ini = folder.path() + "/" + config + "/qm4250-upload";
        QDir().mkpath(ini);
        WriteFile((ini + "/archive.ini").toStdString(), std::string("archive=") + archive + "\n");
        EXPECT_EQ(ChooseArchiveLocation({}).text, archive) << config;
    }
    const char* names[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "QM4250_ARCHIVE"};
    for (int i = 0; i < 3; ++i)
        saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}

TEST(ArchiveLocation, ARefusalNeverShowsThePassword) {
    EXPECT_EQ(NotALocationText("postgresql://qa:secret@db"),
              "not an archive location: postgresql://qa:***@db (expected "
              "postgresql://user@host/database or a file path)");
}

// The location is refused before a folder or a file is made of it.
TEST(ArchiveLocation, ABadLocationCreatesNothing) {
    QTemporaryDir folder;
    QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    std::FILE* err = std::tmpfile();
    int status =
        RunArchiveCommand({"import", "h.csv", "--archive", "postgresql:/qa@db/plant"}, stderr, err);
    QDir::setCurrent(before);
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(
        QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    std::rewind(err);
    char line[256] = {};
    EXPECT_TRUE(std::fgets(line, sizeof line, err));
    std::fclose(err);
    EXPECT_STREQ(line,
                 "qm4250-archive: not an archive location: postgresql:/qa@db/plant (expected "
                 "postgresql://user@host/database or a file path)\n");
}

}  // namespace
