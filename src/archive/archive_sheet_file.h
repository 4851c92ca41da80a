#pragma once

#include <QDateTime>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/archive_retry.h"
#include "sheets/history_row_parser.h"
#include "sheets/sheet_rows.h"

namespace qm4250 {

// What importing one saved sheet came to.
struct SheetArchiveResult {
    enum class Outcome {
        Imported,
        CannotRead,        // readError says why; nothing of the file is in the archive
        NotAHistorySheet,  // no sheet has a history sheet's header in row 1
        NotArchived,       // archiveError says why; nothing of the file is in the archive
    };
    Outcome outcome = Outcome::Imported;
    std::optional<SheetReadError> readError;
    std::optional<ArchiveError> archiveError;
    uint64_t testsRead = 0;
    int newTests = 0;
    uint64_t rowsSkipped = 0;
    std::vector<SkippedRow> skippedRows;  // the first of them
    bool othersForTheSameReasons = true;  // the rows skipped beyond them
    std::vector<std::string> sheetsPassedOver;
    uint64_t rowsInWindows1252 = 0;
};

// Reads a file this program saved (or one laid out the same way) into the archive: one upload for
// each instrument in it, whose device is "import:" and the file's name. The file is read as a
// stream and its tests written in batches, inside one transaction: either all of the file is
// archived, or nothing of it. A failure of the archive that may pass is waited out, the whole file
// read again, as StoreUpload does.
SheetArchiveResult ArchiveSheetFile(const std::string& path, const ArchiveLocation& archive,
                                    const QDateTime& when, const ArchiveWaiting& waiting = {});

}  // namespace qm4250
