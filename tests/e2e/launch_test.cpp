// qm4250-upload started as a desktop session or a user starts it, with Qt's own arguments.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

constexpr int kStartWaitMs = 10000;  // only there to keep a broken build from hanging

bool OffscreenPlatformLoaded(qint64 pid) {
    QFile maps(QString("/proc/%1/maps").arg(pid));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libqoffscreen");
}

struct LaunchCase {
    QStringList arguments;
    bool platformFromEnvironment;
};

// The window is up once Qt has loaded the platform the arguments name and the program keeps
// running; a program that turned the arguments down would have ended by then. Started without a
// runtime folder, as `su` may leave it, it says nothing on standard error.
TEST(Launch, QtsOwnArgumentsOpenTheWindow) {
    const LaunchCase cases[] = {{{"-platform", "offscreen"}, false},
                                {{"-session", "x"}, true},
                                {{"-style", "fusion", "-session", "x"}, true}};
    for (const LaunchCase& launch : cases) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        if (launch.platformFromEnvironment)
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.remove("XDG_RUNTIME_DIR");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QM4250_UPLOAD_EXECUTABLE, launch.arguments);
        ASSERT_TRUE(program.waitForStarted());

        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return program.state() == QProcess::NotRunning ||
                       OffscreenPlatformLoaded(program.processId());
            },
            kStartWaitMs));
        EXPECT_FALSE(program.waitForFinished(1000))
            << launch.arguments.join(' ').toStdString() << " ended with " << program.exitCode();
        EXPECT_EQ(program.readAllStandardError().toStdString(), "")
            << launch.arguments.join(' ').toStdString();
        program.kill();
        program.waitForFinished();
    }
}

}  // namespace
