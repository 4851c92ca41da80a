#include "window/archive_writer.h"

#include <QDateTime>

#include "archive/archive_location.h"
#include "archive/upload_archive.h"
#include "archive/upload_verdict.h"

namespace qm4250 {

namespace {

// The reason becomes UTF-8 bytes, as the record counter shows them. The verdict on the new tests
// is read here too, on the writer's thread: a slow server never holds up the window.
ArchiveOutcome Store(const QString& configured, const History& history, const QString& device,
                     int32_t frames, const QDateTime& when, const ArchiveWaiting& waiting) {
    ChosenLocation chosen = ChooseArchiveLocation(configured);
    ArchiveOutcome outcome;
    if (!chosen.location) {
        outcome.reason = NotALocationText(chosen.text).toStdString();
        return outcome;
    }
    ArchiveResult result = StoreUpload(*chosen.location, {history, device, frames, when}, waiting);
    if (!result.written()) {
        outcome.reason = ArchiveErrorText(*result.error).toStdString();
        return outcome;
    }
    outcome.written = true;
    outcome.newTests = result.newTests;
    if (result.newTests == 0)
        return outcome;
    auto verdict = VerdictOnUploads(*chosen.location, result.uploads);
    if (!verdict)
        outcome.verdictNotRead = ArchiveErrorText(verdict.error()).toStdString();
    else
        outcome.verdict = std::move(verdict.value());
    return outcome;
}

}  // namespace

ArchiveWriter::ArchiveWriter(std::function<std::string()> device, QString location)
    : device_(std::move(device)), location_(std::move(location)), worker_(new QObject) {
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

ArchiveWriter::~ArchiveWriter() {
    thread_.quit();
    thread_.wait();
}

void ArchiveWriter::archive(const History& history, int32_t frames, ArchiveWaitingFor waiting,
                            ArchiveDone done) {
    QString device = QString::fromStdString(device_());
    QDateTime when = QDateTime::currentDateTimeUtc();
    QMetaObject::invokeMethod(
        worker_,
        [this, history, device, frames, when, waiting = std::move(waiting),
         done = std::move(done)] {
            auto waitingShown = [this, waiting](const ArchiveError& reason) {
                QMetaObject::invokeMethod(
                    this, [waiting, text = reason.detail.toStdString()] { waiting(text); },
                    Qt::QueuedConnection);
            };
            ArchiveOutcome outcome = Store(location_, history, device, frames, when, waitingShown);
            QMetaObject::invokeMethod(
                this, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

}  // namespace qm4250
