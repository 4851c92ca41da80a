#pragma once

#include <QString>
#include <optional>
#include <string>

namespace qm4250 {

// The devices the operator assigned to COMM numbers, kept per user in a small INI file
// ("COMM1=/dev/serial/by-id/usb-FTDI_..."). Read afresh on every question, so every program
// of the user sees an assignment at once.
class PortAssignments {
  public:
    explicit PortAssignments(QString iniPath = DefaultPath());

    // ~/.config/qm4250-upload/ports.ini, or wherever the user's config folder is.
    static QString DefaultPath();

    std::optional<std::string> device(int portNumber) const;
    void assign(int portNumber, const std::string& device);
    void remove(int portNumber);

  private:
    QString path_;
};

}  // namespace qm4250
