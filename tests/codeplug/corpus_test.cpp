// Replays the fuzzer's corpus for Open, so every build checks what the fuzzer found.
#include <gtest/gtest.h>

#include <filesystem>

#include "codeplug/fuzz/open_property.h"
#include "tests/codeplug/helpers.h"

TEST(OpenCorpus, EveryInputFailsCleanlyOrRoundTrips) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(CODEPLUG_CORPUS)) {
        EXPECT_EQ(codeplug::fuzz::CheckOpen(cptest::ReadAll(entry.path().string())), "") << entry.path();
        ++count;
    }
    EXPECT_GT(count, 100);
}
