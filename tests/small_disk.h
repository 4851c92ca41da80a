#pragma once

// A file system of a test's own, as an operator meets one: full to its last byte, or read-only.
// It is a small tmpfs mounted over a temporary folder, which only root may do; elsewhere the
// tests fall back on fakes (a file size limit, a folder without write permission).

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

class SmallDisk {
  public:
    enum class Fault { Full, ReadOnly };

    // The disk with `name` on it holding `content`, and the fault made.
    SmallDisk(Fault fault, const std::string& name, const std::string& content) {
        std::string pattern = (std::filesystem::temp_directory_path() / "disk-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        path_ = pattern;
        mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=256k") == 0;
        if (!mounted_)
            return;
        std::ofstream(path_ / name, std::ios::binary) << content;
        made_ = fault == Fault::Full ? Fill() : Remount();
    }
    ~SmallDisk() {
        if (mounted_)
            umount2(path_.c_str(), MNT_DETACH);
        if (!path_.empty())
            std::filesystem::remove_all(path_);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // False where this process may not mount a file system.
    bool made() const { return made_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    // The names of what the disk holds, the filler that fills it left out.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            if (entry.path().filename() != kFiller)
                names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    static constexpr const char* kFiller = "filler";

    bool Fill() const {
        int fd = open((path_ / kFiller).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        char block[4096] = {};
        while (write(fd, block, sizeof block) > 0) {
        }
        bool full = errno == ENOSPC;
        close(fd);
        return full;
    }

    bool Remount() const {
        return mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    std::filesystem::path path_;
    bool mounted_ = false;
    bool made_ = false;
};
