// Replays the fuzzer's corpus for Open, so every build checks what the fuzzer found.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "codeplug/fuzz/open_property.h"

TEST(OpenCorpus, EveryInputFailsCleanlyOrRoundTrips) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(CODEPLUG_CORPUS)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(codeplug::fuzz::CheckOpen(bytes.str()), "") << entry.path().filename();
        ++count;
    }
    EXPECT_GT(count, 0);
}
