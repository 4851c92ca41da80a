#include "protocol/frame.h"

std::string ChangeModeCommand(char modeCharacter) {
    return {STX, '9', modeCharacter, ETX};
}
