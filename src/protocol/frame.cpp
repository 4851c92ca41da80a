#include "protocol/frame.h"

namespace qm4250 {

std::string ChangeModeCommand(char modeCharacter) {
    return {STX, '9', modeCharacter, ETX};
}

}  // namespace qm4250
