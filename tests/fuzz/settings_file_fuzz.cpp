// The settings file with any content: the port number read from it, if any, is a 16-bit value,
// and writing that number back reads back the same.
#include <cstdio>
#include <string>

#include "fuzz_target.h"
#include "scratch_file.h"
#include "window/settings_file.h"

using namespace qm4250;

namespace {

void WriteContent(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile scratch;
    WriteContent(scratch.path(), data, size);
    std::optional<int> port = ReadPortSetting(scratch.path());
    if (!port)
        return 0;
    FUZZ_CHECK(*port >= -32768 && *port <= 32767);
    FUZZ_CHECK(WritePortSetting(scratch.path(), *port));
    FUZZ_CHECK(ReadPortSetting(scratch.path()) == port);
    return 0;
}
