#include "cli/archive_waiting.h"

#include <memory>
#include <utility>

#include "cli/escaped_text.h"

namespace qm4250 {

ArchiveWaiting WaitingLine(std::FILE* out, std::string lead, int patienceMs) {
    auto said = std::make_shared<bool>(false);
    return [out, lead = std::move(lead), patienceMs, said](const ArchiveError& reason) {
        if (std::exchange(*said, true))
            return;
        std::fprintf(out, "%swaiting for the archive (up to %d s): %s\n", lead.c_str(),
                     patienceMs / 1000, EscapedText(reason.detail.toStdString()).c_str());
        std::fflush(out);
    };
}

}  // namespace qm4250
