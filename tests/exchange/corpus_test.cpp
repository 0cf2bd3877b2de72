// Replays the fuzzer's corpus for the CSV import.
#include <gtest/gtest.h>

#include "exchange/fuzz/csv_property.h"
#include "tests/replay_corpus.h"

TEST(CsvCorpus, EveryFileImportsNothingOrRoundTrips) {
    EXPECT_GE(replay::Corpus(FUZZ_CORPUS "/csv_import", exchange::fuzz::CheckImport), 5);
}
