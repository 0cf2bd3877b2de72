// Replays a fuzzer's corpus: every input must satisfy the property the fuzz target checks,
// so every build checks again what the fuzzer found.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace replay {

// Checks every file of `dir`; returns how many there were.
template <typename Check>
int Corpus(const std::string& dir, Check check) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(check(std::string_view(bytes)), "") << entry.path();
        ++count;
    }
    return count;
}

}  // namespace replay
