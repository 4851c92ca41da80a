#include "pty_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace sim {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void ConfigureSlave(const std::string& path) {
    int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0)
        ThrowErrno("open " + path);
    termios settings{};
    bool configured = ::tcgetattr(slave, &settings) == 0;
    if (configured) {
        ::cfmakeraw(&settings);
        settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        configured = ::tcsetattr(slave, TCSANOW, &settings) == 0;
    }
    int error = errno;
    ::close(slave);
    if (!configured) {
        errno = error;
        ThrowErrno("configure " + path);
    }
}

}  // namespace

PtyLink::PtyLink() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        ThrowErrno("posix_openpt");
    std::array<char, 128> name{};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name.data(), name.size()) != 0) {
        int error = errno;
        ::close(master_);
        errno = error;
        ThrowErrno("pseudo-terminal set-up");
    }
    devicePath_ = name.data();
    try {
        ConfigureSlave(devicePath_);
    } catch (...) {
        ::close(master_);
        throw;
    }
}

PtyLink::~PtyLink() {
    Close();
}

void PtyLink::Flush() {
    if (master_ < 0)
        return;
    ::tcflush(master_, TCIFLUSH);
    // Flushing the output from the master side leaves bytes already queued for the slave, so
    // the slave's input is flushed from the slave side.
    int slave = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return;
    ::tcflush(slave, TCIFLUSH);
    ::close(slave);
}

void PtyLink::Close() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

DeviceLink::DeviceLink(const std::string& target, std::string path) {
    struct stat existing {};
    // A link left behind by a simulator that was killed is taken over; anything else is not.
    if (::lstat(path.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode))
        ::unlink(path.c_str());
    if (::symlink(target.c_str(), path.c_str()) != 0)
        ThrowErrno("symlink " + path);
    path_ = std::move(path);
}

DeviceLink::~DeviceLink() {
    Remove();
}

void DeviceLink::Remove() {
    if (path_)
        ::unlink(path_->c_str());
    path_.reset();
}

}  // namespace sim
