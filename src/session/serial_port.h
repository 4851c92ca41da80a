#pragma once

#include <string>
#include <string_view>

#include "result/result.h"

namespace qm4250 {

// Why the port could not be selected, opened or written.
struct PortFailure {
    enum class Kind {
        NoSuchPort,    // the COMM number names no device
        NoPermission,  // the user may not open the device (not in the dialout group)
        NotOpen,       // written while closed
        Platform,      // the platform's words say why
    };
    Kind kind = Kind::Platform;
    int portNumber = 0;
    std::string device;
    std::string detail;  // the platform's words (UTF-8), where it gave any
};
using PortResult = Result<void, PortFailure>;

// The serial line to the instrument, 9600 baud 8N1. Every operation that can fail says so.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // The next open uses COMM n. Accepted while the port is open; the open port stays in use.
    virtual PortResult selectPort(int n) = 0;
    virtual bool isOpen() const = 0;
    virtual PortResult open() = 0;
    virtual void close() = 0;  // closing a closed port does nothing
    virtual PortResult write(std::string_view bytes) = 0;
    // Everything received since the last read.
    virtual std::string readAll() = 0;
};

}  // namespace qm4250
