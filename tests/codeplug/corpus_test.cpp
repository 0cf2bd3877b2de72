// Replays the fuzzers' corpora for Open and for a memory image loaded as a full read.
#include <gtest/gtest.h>

#include "codeplug/fuzz/load_property.h"
#include "codeplug/fuzz/open_property.h"
#include "tests/replay_corpus.h"

TEST(OpenCorpus, EveryInputFailsCleanlyOrRoundTrips) {
    EXPECT_GT(replay::Corpus(CODEPLUG_CORPUS, codeplug::fuzz::CheckOpen), 100);
}

TEST(LoadCorpus, EveryImageDecodesToAStateThatSavesAndOpens) {
    EXPECT_GE(replay::Corpus(FUZZ_CORPUS "/image_load", codeplug::fuzz::CheckLoad), 3);
}
