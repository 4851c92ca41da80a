#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Every target defines this; libFuzzer calls it, and so does the seed runner in the normal build.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// An invariant that must hold for every input. Aborts, so both libFuzzer and the seed runner
// report the input as a failure, in every build type.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Reads the input as a sequence of small values; past its end every value is zero, so any input
// is a valid program for a target.
class InputReader {
  public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool done() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Up to `count` bytes, fewer at the end of the input.
    std::string_view bytes(size_t count) {
        size_t taken = count < size_ - at_ ? count : size_ - at_;
        std::string_view text(reinterpret_cast<const char*>(data_ + at_), taken);
        at_ += taken;
        return text;
    }
    std::string_view rest() { return bytes(size_ - at_); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
