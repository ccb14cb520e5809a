// The line seen from the master: its timing (1200 bit/s on the realistic wire, none on the fast
// one), the faults and refusals queued per command (the script's fault), and what HartSendCmd's
// caller reads for a device's response code.
#include "HartFrame.h"
#include "ResponseCodes.h"
#include "SendResult.h"
#include "Transmitter.h"
#include "WireFault.h"
#include "WireModel.h"

#include <gtest/gtest.h>

#include <optional>

using namespace hartsim;
using std::chrono::microseconds;

namespace
{

// What the master makes of one exchange of a command through the plan (no answer counts as
// truncated), and whether the transmitter carried out a zero meanwhile.
struct Outcome
{
    DecodeError decoded = DecodeError::None;
    std::optional<uint8_t> responseCode;
    bool zeroed = false;
};

Outcome Through(FaultPlan& plan, Transmitter& transmitter, uint8_t command)
{
    const float before = transmitter.State().zero;
    const std::vector<uint8_t> answerFrame =
        plan.Exchange(transmitter, command, EncodeRequest({transmitter.Address(), command, {}}));
    Outcome outcome;
    Answer answer;
    outcome.decoded = answerFrame.empty()
                          ? DecodeError::Truncated
                          : DecodeAnswer(answerFrame, transmitter.Address(), &answer);
    if (outcome.decoded == DecodeError::None)
        outcome.responseCode = answer.responseCode;
    outcome.zeroed = transmitter.State().zero != before;
    return outcome;
}

// One exchange of command 43 (PV zero) that suffers the fault.
Outcome ZeroThrough(std::optional<WireFault> fault)
{
    Transmitter transmitter;
    FaultPlan plan;
    if (fault)
        plan.Queue(43, *fault, 1);
    return Through(plan, transmitter, 43);
}

} // namespace

// Faults of the line lose the answer; the device may well have carried the command out.
TEST(WireFault, LineFaultsLeaveNoValidAnswer)
{
    EXPECT_FALSE(ZeroThrough(WireFault::NoAnswer).zeroed);
    const Outcome garbled = ZeroThrough(WireFault::Garbled);
    EXPECT_EQ(garbled.decoded, DecodeError::BadChecksum);
    EXPECT_TRUE(garbled.zeroed);
    const Outcome shortAnswer = ZeroThrough(WireFault::Short);
    EXPECT_NE(shortAnswer.decoded, DecodeError::None);
    EXPECT_TRUE(shortAnswer.zeroed);
    EXPECT_EQ(ZeroThrough(WireFault::OtherAddress).decoded, DecodeError::AddressMismatch);
}

// Refusals are valid answers whose code says why; the device does nothing.
TEST(WireFault, RefusalsAnswerWithTheirCodeAndChangeNothing)
{
    const std::pair<WireFault, uint8_t> refusals[] = {
        {WireFault::Parity, rc::kParityError}, {WireFault::Busy, rc::kBusy},
        {WireFault::DelayedInitiated, 33},     {WireFault::DelayedRunning, 34},
        {WireFault::DelayedDead, 35},          {WireFault::WriteProtected, rc::kWriteProtected},
    };
    for (const auto& refusal : refusals)
    {
        const Outcome outcome = ZeroThrough(refusal.first);
        EXPECT_EQ(outcome.responseCode, refusal.second);
        EXPECT_FALSE(outcome.zeroed);
    }
    EXPECT_EQ(ZeroThrough(std::nullopt).responseCode, rc::kSuccess);
}

TEST(WireFault, PlanTakesFaultsPerCommandInOrder)
{
    Transmitter transmitter;
    FaultPlan plan;
    plan.Queue(15, WireFault::Busy, 1);
    plan.Queue(15, WireFault::NoAnswer, 1);
    EXPECT_EQ(Through(plan, transmitter, 43).responseCode, rc::kSuccess);
    EXPECT_EQ(Through(plan, transmitter, 15).responseCode, rc::kBusy);
    EXPECT_EQ(Through(plan, transmitter, 15).decoded, DecodeError::Truncated);
    EXPECT_EQ(Through(plan, transmitter, 15).responseCode, rc::kSuccess);
}

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

TEST(SendResult, MapsResponseCodesToWhatTheCallerReads)
{
    const std::pair<int, int> cases[] = {
        {0, 0xF0},    {8, 0xF0},    {14, 0xF0},   {24, 0xF0},  {27, 0xF0}, {30, 0xF0},
        {31, 0xF0},   {96, 0xF0},   {127, 0xF0},  {32, 0xFE},  {2, 2},     {5, 5},
        {7, 7},       {9, 9},       {10, 10},     {28, 28},    {64, 64},   {95, 95},
        {0x88, 0xFF}, {0xC0, 0xFF}, {0xF0, 0xFF}, {0xFE, 0xFF}};
    for (const auto& [code, result] : cases)
        EXPECT_EQ(SendResult(static_cast<uint8_t>(code)), result) << "response code " << code;
    EXPECT_EQ(SendResult(std::nullopt), 0xFF) << "no valid answer";
}
