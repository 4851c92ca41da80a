#include "trend/device_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "export/atomic_file.h"

namespace qm4250 {

namespace {

// An open file that remembers the first write the system refused.
class FileDescriptorDevice : public QIODevice {
  public:
    explicit FileDescriptorDevice(int fd) : fd_(fd) {}

    int failedWith() const { return error_; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override {
        qint64 left = size;
        while (left > 0 && error_ == 0) {
            ssize_t written = ::write(fd_, data, static_cast<size_t>(left));
            if (written < 0 && errno != EINTR)
                error_ = errno;
            if (written > 0) {
                data += written;
                left -= written;
            }
        }
        return error_ == 0 ? size : -1;
    }

  private:
    int fd_;
    int error_ = 0;
};

}  // namespace

Result<void> SaveThroughDevice(const QString& path, const std::function<bool(QIODevice&)>& write) {
    return SaveAtomically(
        QFile::encodeName(path).toStdString(), [&](const std::string& temporary) -> Result<void> {
            int fd = open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd < 0)
                return Failure{Failure::Kind::System, errno, temporary};
            FileDescriptorDevice device(fd);
            device.open(QIODevice::WriteOnly);
            bool written = write(device);
            device.close();
            int closeError = close(fd) == 0 ? 0 : errno;
            if (int error = device.failedWith() != 0 ? device.failedWith() : closeError)
                return Failure{Failure::Kind::System, error, temporary};
            if (!written)
                return Failure{Failure::Kind::Writer, 0, temporary};
            return {};
        });
}

}  // namespace qm4250
