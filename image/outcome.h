// How every step that can fail says how it went, in every part of the program: `error` is
// empty on success, and otherwise tells the operator why, naming the field, block or file.
// `value` is what the step made; `notes` are what the operator should still know of a
// success (a character the file could not carry, bytes kept as they came).
#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace image {

// The value of a step that makes nothing.
using Nothing = std::monostate;

template <class T = Nothing>
struct Outcome {
    T value{};
    std::string error;
    std::vector<std::string> notes;

    bool ok() const { return error.empty(); }
};

// A failed step: its error, and a value as the type starts.
template <class T = Nothing>
Outcome<T> Failure(std::string error) {
    Outcome<T> o;
    o.error = std::move(error);
    return o;
}

}  // namespace image
