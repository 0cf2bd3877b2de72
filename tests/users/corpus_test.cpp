// Replays the fuzzers' corpora for the background picture and the user files' first line.
#include <gtest/gtest.h>

#include "tests/replay_corpus.h"
#include "users/fuzz/line_property.h"
#include "users/fuzz/picture_property.h"

TEST(PictureCorpus, EveryPictureIsRefusedWithAReasonOrDecodedWithinBounds) {
    EXPECT_GE(replay::Corpus(FUZZ_CORPUS "/picture", users::fuzz::CheckPicture), 7);
}

TEST(LineCorpus, EveryLineIsRefusedWithAReasonOrReadsBack) {
    EXPECT_GE(replay::Corpus(FUZZ_CORPUS "/user_line", users::fuzz::CheckLine), 6);
}
