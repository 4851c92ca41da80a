// Runs a fuzz target over its seed corpus, for the normal build where libFuzzer is not at hand:
// every file named on the command line, or under a folder named there, is one input. An invariant
// broken by a seed aborts, which fails the test.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "fuzz_target.h"

namespace {

void RunInput(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string input{std::istreambuf_iterator<char>(file), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    for (int k = 1; k < argc; ++k) {
        if (!std::filesystem::is_directory(argv[k])) {
            RunInput(argv[k]);
            ++inputs;
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[k])) {
            if (entry.is_regular_file()) {
                RunInput(entry.path());
                ++inputs;
            }
        }
    }
    std::cout << inputs << " seed inputs run\n";
    // An empty corpus would pass without testing anything.
    return inputs > 0 ? 0 : 1;
}
