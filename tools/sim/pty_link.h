#pragma once

#include <optional>
#include <string>

namespace sim {

// The master side of a pseudo-terminal whose slave side, devicePath(), the program opens as
// its serial port. The slave is set to raw 9600 8N1 once; the settings outlive the program's
// closing and reopening of the port for as long as the master stays open.
class PtyLink {
  public:
    PtyLink();  // throws std::system_error
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    int fd() const { return master_; }
    const std::string& devicePath() const { return devicePath_; }

    // Drops whatever waits in either direction, so nothing written while the program had the
    // port closed reaches it when it opens the port again.
    void Flush();

    // Closes the master: the program's open port reports an error, as with a pulled cable.
    void Close();

  private:
    int master_ = -1;
    std::string devicePath_;
};

// A symlink to the device, removed again when this goes away.
class DeviceLink {
  public:
    DeviceLink(const std::string& target, std::string path);  // throws std::system_error
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    void Remove();

  private:
    std::optional<std::string> path_;
};

}  // namespace sim
