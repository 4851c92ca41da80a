#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <string>

#include "window/upload_archiver.h"

namespace qm4250 {

// Archives uploads where ChooseArchiveLocation says (QM4250_ARCHIVE, the per-user config file, or
// the SQLite file in the user's data folder), on a thread of its own with a connection of its
// own, so that a locked file or a slow server never holds up the window.
class ArchiveWriter : public QObject, public UploadArchiver {
    Q_OBJECT
  public:
    // device says which serial device the upload came from; asked on the event thread.
    explicit ArchiveWriter(std::function<std::string()> device, QString location = {});
    // Waits for the writes already started: an upload is never dropped half-way.
    ~ArchiveWriter() override;

    void archive(const History& history, int32_t frames, ArchiveWaitingFor waiting,
                 ArchiveDone done) override;

  private:
    std::function<std::string()> device_;
    QString location_;
    QThread thread_;
    QObject* worker_;  // lives on thread_; what is queued to it runs there, in order
};

}  // namespace qm4250
