// Qt's own messages: its noise kept off the terminal unless asked for, everything else passed on.
#include "cli/qt_messages.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <string>
#include <vector>

using namespace qm4250;

namespace {

std::vector<std::string> passedOn;

void Catch(QtMsgType, const QMessageLogContext&, const QString& message) {
    passedOn.push_back(message.toStdString());
}

struct MessageCase {
    QtMsgType type;
    const char* text;  // as Qt 6.4 words it
    bool noise;
};

// Each as a program met it: run without XDG_RUNTIME_DIR or under `su`, on a PostgreSQL
// connection the server closed, on a server whose version() the driver cannot place.
const MessageCase kMessages[] = {
    {QtWarningMsg, "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'",
     true},
    {QtWarningMsg,
     "QStandardPaths: runtime directory '/run/user/1000' is not owned by UID 0, but a directory "
     "permissions 0700 owned by UID 1000 GID 1000",
     true},
    {QtWarningMsg, "QSqlQuery::exec: database not open", true},
    {QtWarningMsg, "QPSQLDriver::rollbackTransaction: Database not open", true},
    {QtWarningMsg, "Unable to free statement: no connection to the server\n", true},
    {QtWarningMsg, "This version of PostgreSQL is not supported and may not work.", true},
    {QtWarningMsg,
     "The server version of this PostgreSQL is unknown, falling back to the client version.", true},
    // A broken installation or a fault of this program's: worth seeing.
    {QtWarningMsg, "QSqlDatabase: QPSQL driver not loaded", false},
    {QtWarningMsg, "QSqlQuery::value: not positioned on a valid record", false},
    {QtWarningMsg, "unrelated: Unable to free statement: x", false},
    // Critical messages always reach the user, whatever they say.
    {QtCriticalMsg, "QSqlQuery::exec: database not open", false},
};

void Say(const MessageCase& message) {
    QMessageLogger logger;
    if (message.type == QtCriticalMsg)
        logger.critical("%s", message.text);
    else
        logger.warning("%s", message.text);
}

TEST(QtMessages, NoiseIsKeptOffUnlessAskedForAndTheRestPassedOn) {
    QtMessageHandler before = qInstallMessageHandler(Catch);
    KeepQtNoiseOffTheTerminal();
    for (bool asked : {false, true}) {
        QLoggingCategory::setFilterRules(asked ? "qm4250.qt.debug=true" : "");
        for (const MessageCase& message : kMessages) {
            passedOn.clear();
            Say(message);
            bool shown = asked || !message.noise;
            EXPECT_EQ(passedOn,
                      shown ? std::vector<std::string>{message.text} : std::vector<std::string>{})
                << message.text << (asked ? " (asked for)" : "");
        }
    }
    QLoggingCategory::setFilterRules("");
    qInstallMessageHandler(before);
}

}  // namespace
