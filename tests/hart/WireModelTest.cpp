// Tests of the wire model's timing: 1200 bit/s on the realistic wire, none on the fast one.
#include "WireModel.h"

#include <gtest/gtest.h>

using namespace hartsim;
using std::chrono::microseconds;

TEST(WireModel, TimedModelRunsAt1200BitPerSecondAndFastOneTakesNoTime)
{
    const WireModel wire = WireModel::Timed();
    EXPECT_EQ(wire.CharacterTime(), microseconds(9167));
    // A 14-character request and the 20-character answer of a 4-byte read: 34 characters plus
    // the 50 ms turnaround.
    EXPECT_EQ(wire.Exchange(14, 20), microseconds(311667 + 50000));
    EXPECT_EQ(wire.Exchange(0, 0), microseconds(50000));
    // 14 characters out, then 33 characters of waiting.
    EXPECT_EQ(wire.NoAnswer(14), microseconds(430833));
    EXPECT_LT(WireModel::kSlaveTurnaround, microseconds(28 * 9167));
    const WireModel fast = WireModel::Fast();
    EXPECT_EQ(fast.Exchange(14, 290), microseconds::zero());
    EXPECT_EQ(fast.NoAnswer(14), microseconds::zero());
}
