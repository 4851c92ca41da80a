#pragma once

#include <QString>
#include <functional>
#include <string>

#include "window/upload_archiver.h"

namespace qm4250 {

// Archives uploads where ChooseArchiveLocation says: QM4250_ARCHIVE, the per-user config file, or
// the SQLite file in the user's data folder.
class ArchiveWriter : public UploadArchiver {
  public:
    // device says which serial device the upload came from.
    explicit ArchiveWriter(std::function<std::string()> device, QString location = {});

    ArchiveOutcome archive(const History& history, int32_t frames) override;

  private:
    std::function<std::string()> device_;
    QString location_;
};

}  // namespace qm4250
