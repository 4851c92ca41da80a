#pragma once

#include <string>
#include <string_view>

namespace qm4250 {

// The serial line to the instrument, 9600 baud 8N1. Every operation that can fail says so.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // The next open uses COMM n. Accepted while the port is open; the open port stays in use.
    virtual bool selectPort(int n) = 0;
    virtual bool isOpen() const = 0;
    virtual bool open() = 0;
    virtual void close() = 0;  // closing a closed port does nothing
    virtual bool write(std::string_view bytes) = 0;
    // Everything received since the last read.
    virtual std::string readAll() = 0;
    // Why the last select, open or write failed, in the platform's words.
    virtual std::string lastError() const = 0;
};

}  // namespace qm4250
