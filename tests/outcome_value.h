// A step's value for an assertion, and its error kept for the next one: tests compare what a
// step gave with an expected value, or with std::nullopt for a refusal, and then look at why.
#pragma once

#include <optional>
#include <string>

#include "base/outcome.h"

template <class T>
std::optional<T> valueOf(const base::Outcome<T>& outcome, std::string& error) {
    error = outcome.error;
    if (!outcome.ok()) return std::nullopt;
    return outcome.value;
}

inline bool succeeded(const base::Outcome<>& outcome, std::string& error) {
    error = outcome.error;
    return outcome.ok();
}
