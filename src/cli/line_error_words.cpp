#include "cli/line_error_words.h"

namespace qm4250 {

const char* LineErrorWords(LineError error) {
    switch (error) {
        case LineError::Break:
            return "break received";
        case LineError::Framing:
            return "framing error";
        case LineError::Overrun:
            return "data lost";
        case LineError::RxOverflow:
            return "RX buffer overflow";
        case LineError::Parity:
            return "Parity error";
        case LineError::TxFull:
            return "TX buffer full";
        case LineError::Dcb:
            return "retrieving DCB";
    }
    return "unknown";
}

}  // namespace qm4250
