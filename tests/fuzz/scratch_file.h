#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "fuzz_target.h"

// A file under /tmp for a target that has to go through the file system, made once per run
// and removed at exit; its name ends in `suffix` (".xlsx") where the format goes by the name.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& suffix = {}) {
        std::string name = "/tmp/qm4250-fuzz-XXXXXX" + suffix;
        int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
        FUZZ_CHECK(fd >= 0);
        close(fd);
        path_ = name;
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};
