#pragma once

#include <string>
#include <vector>

namespace qm4250 {

// Worksheet names for instruments, one for each serial (received bytes), as Excel accepts them:
// 1 to 31 characters, none of : \ / ? * [ ] or a control character, no apostrophe first or last,
// not "History", and each different from the others, ignoring case. A serial that cannot be
// kept as it is gets "_" for each character a name may not hold, "no serial" when blank, and
// " (2)", " (3)" … when it would repeat another name. The names are UTF-8.
std::vector<std::string> InstrumentSheetNames(const std::vector<std::string>& serials);

}  // namespace qm4250
