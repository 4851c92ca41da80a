#pragma once

// SAVE as the operator meets it on a factory floor: a full disk, a folder they may not write.

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "child_process.h"
#include "export/save_history_workbook.h"

namespace qm4250 {

// What a save in a child process gave, told through its pipe: "saved", or "not saved: " and
// the system's error's name ("EFBIG") or the failure's kind ("kind 2").
inline const std::string kSaved = "saved";

inline std::string NotSaved(int errorNumber) {
    return std::string("not saved: ") + strerrorname_np(errorNumber);
}

inline std::string NotSaved(Failure::Kind kind) {
    return "not saved: kind " + std::to_string(static_cast<int>(kind));
}

inline std::string Outcome(const SaveResult& result) {
    if (result)
        return kSaved;
    const auto* failure = std::get_if<Failure>(&result.error());
    if (!failure)
        return "not saved: a test";
    return failure->kind == Failure::Kind::System ? NotSaved(failure->errorNumber)
                                                  : NotSaved(failure->kind);
}

inline std::string Save(const History& history, const std::string& target) {
    return Outcome(SaveHistory(history, target));
}

// Saves as on a disk that fills up once `limit` bytes are in a file: the file size limit stops
// every writer, root included.
inline std::string SaveOnAFullDisk(const History& history, const std::string& target,
                                   rlim_t limit) {
    return InAChildProcess([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        return Outcome(SaveHistory(history, target));
    });
}

// Saves as an operator who may not write where the target is.
inline std::string SaveAsAnOrdinaryUser(const History& history, const std::string& target) {
    return InAChildProcess([&] {
        return BecomeAnOrdinaryUser() ? Outcome(SaveHistory(history, target)) : kCannotDropRoot;
    });
}

inline std::string FileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace qm4250
