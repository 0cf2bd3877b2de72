#include "sim/fault_plan.h"

#include <gtest/gtest.h>

namespace {

using sim::FaultPlan;
using Kind = FaultPlan::Kind;

TEST(FaultPlan, EveryPlanReadsBackAsWritten) {
    for (const char* text : {"none", "off", "silent-from:64", "short:3", "long:1", "double-ack", "wrong-ack",
                             "late:1500", "pieces:4:30", "noise", "vanish-at:10", "short:3@130", "late:20@5",
                             "double-ack@2", "flood", "flood@131", "echo", "garbage",
                             "intermittent"}) {
        const auto plan = FaultPlan::Parse(text);
        ASSERT_TRUE(plan.ok()) << text << ": " << plan.error;
        EXPECT_EQ(plan.value.ToString(), text);
    }
    const auto pieces = FaultPlan::Parse("pieces:4:30");
    EXPECT_EQ(pieces.value.kind, Kind::Pieces);
    EXPECT_EQ(pieces.value.pieces, 4);
    EXPECT_EQ(pieces.value.delayMs, 30);
    EXPECT_EQ(FaultPlan::Parse("").value.kind, Kind::None);

    const auto fromBlock = FaultPlan::Parse("wrong-ack@7");
    EXPECT_FALSE(fromBlock.value.touches(6));
    EXPECT_TRUE(fromBlock.value.touches(7));
    EXPECT_FALSE(FaultPlan{}.touches(0));
}

TEST(FaultPlan, TextsThatAreNoPlanAreRefusedWithAReason) {
    for (const char* text : {"short", "short:", "short:x", "short:-1", "short:3:4", "pieces:0:5", "pieces:4",
                             "noise@3", "vanish-at:1@2", "late:20@", "bogus", "off:1", " short:3",
                             "echo:1", "intermittent@2"}) {
        const auto plan = FaultPlan::Parse(text);
        EXPECT_FALSE(plan.ok()) << text;
        EXPECT_EQ(plan.kind, base::ErrorKind::BadData) << text;
    }
}

}  // namespace
