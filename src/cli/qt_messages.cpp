#include "cli/qt_messages.h"

#include <QLoggingCategory>
#include <QString>

namespace qm4250 {

namespace {

// Off unless asked for: its debug messages are the noise itself.
Q_LOGGING_CATEGORY(QtNoise, "qm4250.qt", QtInfoMsg)

// Qt 6.4 says all of these in its default category, so they are told by their words: how each
// begins, and a part of it where the beginning is shared with messages worth seeing.
struct Noise {
    const char* begins;
    const char* holds;
};

constexpr Noise kNoise[] = {
    {"QStandardPaths: ", "XDG_RUNTIME_DIR"},
    {"QStandardPaths: ", "runtime directory"},
    {"QSqlQuery::", "database not open"},
    {"QPSQLDriver::", "Database not open"},
    {"Unable to free statement: ", ""},
    {"This version of PostgreSQL is not supported", ""},
    {"The server version of this PostgreSQL is unknown", ""},
};

bool IsNoise(QtMsgType type, const QString& message) {
    // Critical and fatal messages always reach the user.
    if (type != QtDebugMsg && type != QtInfoMsg && type != QtWarningMsg)
        return false;
    for (const Noise& noise : kNoise) {
        if (message.startsWith(QLatin1String(noise.begins)) &&
            message.contains(QLatin1String(noise.holds)))
            return true;
    }
    return false;
}

QtMessageHandler qtHandler = nullptr;

void Pass(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (IsNoise(type, message) && !QtNoise().isDebugEnabled())
        return;
    qtHandler(type, context, message);
}

}  // namespace

void KeepQtNoiseOffTheTerminal() {
    QtNoise();  // registered now, so that the logging rules reach it as they are read
    qtHandler = qInstallMessageHandler(Pass);
}

}  // namespace qm4250
