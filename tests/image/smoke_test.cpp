#include <gtest/gtest.h>

#include "image/transfer.h"

TEST(Transfer, StartupStateBuildsAllFrames) {
    const auto frames = image::BuildWriteFrames(image::EditorState());
    ASSERT_TRUE(frames.ok()) << frames.error;
    EXPECT_EQ(frames.frames.size(), 136u);
}
