#include "window/archive_writer.h"

#include <QDateTime>

#include "archive/archive_location.h"
#include "archive/upload_archive.h"

namespace qm4250 {

ArchiveWriter::ArchiveWriter(std::function<std::string()> device, QString location)
    : device_(std::move(device)), location_(std::move(location)) {}

// The reason becomes Latin-1 bytes, as every text the window shows.
ArchiveOutcome ArchiveWriter::archive(const History& history, int32_t frames) {
    std::optional<ArchiveLocation> location = ChooseArchiveLocation(location_);
    if (!location)
        return {false, 0, "the archive's location is not a URL this program knows"};
    ArchiveResult result = StoreUpload(*location, {history, QString::fromStdString(device_()),
                                                   frames, QDateTime::currentDateTimeUtc()});
    return {result.written, result.newTests, result.reason.toLatin1().toStdString()};
}

}  // namespace qm4250
