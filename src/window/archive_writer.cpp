#include "window/archive_writer.h"

#include <QDateTime>

#include "archive/archive_location.h"
#include "archive/upload_archive.h"

namespace qm4250 {

namespace {

// The reason becomes UTF-8 bytes, as the record counter shows them.
ArchiveOutcome Store(const QString& configured, const History& history, const QString& device,
                     int32_t frames, const QDateTime& when) {
    ChosenLocation chosen = ChooseArchiveLocation(configured);
    if (!chosen.location)
        return {false, 0, NotALocationText(chosen.text).toStdString()};
    ArchiveResult result = StoreUpload(*chosen.location, {history, device, frames, when});
    if (!result.written())
        return {false, 0, ArchiveErrorText(*result.error).toStdString()};
    return {true, result.newTests, {}};
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

void ArchiveWriter::archive(const History& history, int32_t frames, ArchiveDone done) {
    QString device = QString::fromStdString(device_());
    QDateTime when = QDateTime::currentDateTimeUtc();
    QMetaObject::invokeMethod(
        worker_,
        [this, history, device, frames, when, done = std::move(done)] {
            ArchiveOutcome outcome = Store(location_, history, device, frames, when);
            QMetaObject::invokeMethod(
                this, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

}  // namespace qm4250
