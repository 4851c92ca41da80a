#pragma once

#include <optional>
#include <utility>
#include <variant>

#include "result/failure.h"

namespace qm4250 {

// What an operation came to: its value, or the error that says why there is none. Every layer
// returns its outcomes this way; only the front ends turn the error into words.
template <typename T, typename E = Failure>
class [[nodiscard]] Result {
  public:
    Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : held_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return held_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<0>(held_); }
    const T& value() const { return std::get<0>(held_); }
    const E& error() const { return std::get<1>(held_); }

  private:
    std::variant<T, E> held_;
};

// An operation that gives nothing but may fail.
template <typename E>
class [[nodiscard]] Result<void, E> {
  public:
    Result() = default;
    Result(E error) : error_(std::move(error)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }

    const E& error() const { return *error_; }

  private:
    std::optional<E> error_;
};

}  // namespace qm4250
