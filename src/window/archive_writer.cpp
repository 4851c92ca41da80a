#include "window/archive_writer.h"

#include <QDateTime>

#include "archive/archive_location.h"
#include "archive/upload_archive.h"

namespace qm4250 {

ArchiveWriter::ArchiveWriter(std::function<std::string()> device, QString location)
    : device_(std::move(device)), location_(std::move(location)) {}

// The reason becomes Latin-1 bytes, as every text the window shows.
ArchiveOutcome ArchiveWriter::archive(const History& history, int32_t frames) {
    ChosenLocation chosen = ChooseArchiveLocation(location_);
    if (!chosen.location)
        return {false, 0, NotALocationText(chosen.text).toLatin1().toStdString()};
    ArchiveResult result = StoreUpload(
        *chosen.location,
        {history, QString::fromStdString(device_()), frames, QDateTime::currentDateTimeUtc()});
    if (!result.written())
        return {false, 0, ArchiveErrorText(*result.error).toLatin1().toStdString()};
    return {true, result.newTests, {}};
}

}  // namespace qm4250
