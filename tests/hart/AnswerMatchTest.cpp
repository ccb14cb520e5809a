// The receiver's decisions on a real line: which frame is the answer, how many preambles a frame
// needs, and what the scanner keeps of a hostile line.
#include "AnswerLength.h"
#include "AnswerMatch.h"
#include "FrameScanner.h"
#include "HartFrame.h"
#include "ShortFrame.h"

#include <gtest/gtest.h>

using namespace hartsim;

namespace
{

const LongAddress kDevice = LongAddress::ForDevice(0x20, 0xB3, {0x00, 0x03, 0x2A});
const LongAddress kNeighbour = LongAddress::ForDevice(0x20, 0xB3, {0x00, 0x03, 0x2B});
LongAddress Secondary(LongAddress address)
{
    address.bytes[0] &= static_cast<uint8_t>(~kPrimaryMasterBit);
    return address;
}

std::vector<uint8_t> AnswerFrom(const LongAddress& address, uint8_t command,
                                std::size_t preambles = kSendPreambles)
{
    Answer answer;
    answer.address = address;
    answer.command = command;
    answer.data = {1, 2, 3, 4};
    return EncodeAnswer(answer, preambles);
}

std::vector<uint8_t> ShortAnswer(uint8_t pollingAddress, uint8_t command)
{
    ShortFrame answer;
    answer.pollingAddress = pollingAddress;
    answer.command = command;
    answer.field = {0, 0, 254};
    return EncodeShortAnswer(answer);
}

std::vector<uint8_t> DropFirst(std::vector<uint8_t> frame)
{
    frame.erase(frame.begin());
    return frame;
}

std::vector<uint8_t> ShortRequest(uint8_t pollingAddress)
{
    ShortFrame request;
    request.pollingAddress = pollingAddress;
    return EncodeShortRequest(request);
}

TEST(AnswerMatch, OnlyTheSameDevicesAnswerToTheSameCommandIsTheAnswer)
{
    const std::vector<uint8_t> request = EncodeRequest({kDevice, 223, {1}});
    std::vector<uint8_t> burst = AnswerFrom(kDevice, 223);
    burst[kSendPreambles] = 0x81;
    burst.back() = Checksum(burst.data() + kSendPreambles, burst.size() - kSendPreambles - 1);
    std::vector<uint8_t> badCheck = AnswerFrom(kDevice, 223);
    badCheck.back() ^= 0x01;
    std::vector<uint8_t> slaveInBurstMode = AnswerFrom(kDevice, 223);
    slaveInBurstMode[kSendPreambles + 1] |= 0x40;
    slaveInBurstMode.back() =
        Checksum(slaveInBurstMode.data() + kSendPreambles, slaveInBurstMode.size() - 6);
    const struct
    {
        const char* name;
        std::vector<uint8_t> request;
        std::vector<uint8_t> frame;
        Received expected;
    } cases[] = {
        {"the answer", request, AnswerFrom(kDevice, 223), Received::Answer},
        {"the answer with two preambles", request, AnswerFrom(kDevice, 223, 2), Received::Answer},
        {"the answer with the burst-mode bit set", request, slaveInBurstMode, Received::Answer},
        {"our own request heard back", request, request, Received::Echo},
        {"a burst frame", request, burst, Received::Burst},
        {"another device's answer", request, AnswerFrom(kNeighbour, 223), Received::OtherDevice},
        {"a late answer to command 15", request, AnswerFrom(kDevice, 15), Received::OtherCommand},
        {"the answer to a handheld", request, AnswerFrom(Secondary(kDevice), 223),
         Received::OtherMaster},
        {"a wrong check byte", request, badCheck, Received::Garbled},
        {"one preamble only", request, DropFirst(AnswerFrom(kDevice, 223, 2)), Received::Garbled},
        {"a short answer to a long request", request, ShortAnswer(0, 223), Received::OtherDevice},
        {"the poll's answer", ShortRequest(3), ShortAnswer(3, 0), Received::Answer},
        {"another polling address", ShortRequest(3), ShortAnswer(4, 0), Received::OtherDevice},
        {"a short answer to command 15", ShortRequest(3), ShortAnswer(3, 15),
         Received::OtherCommand},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyReceived(c.request, c.frame), c.expected) << c.name;
}

TEST(PreambleRule, TwoPreamblesAreEnoughEverywhereAndOneIsNot)
{
    const std::vector<uint8_t> request = EncodeRequest({kDevice, 0, {}}, kMinPreambles);
    const std::vector<uint8_t> poll = EncodeShortRequest(ShortFrame{}, kMinPreambles);
    ASSERT_EQ(request.size(), EncodeRequest({kDevice, 0, {}}).size() - 3);
    const struct
    {
        const char* name;
        std::size_t dropped;
        bool accepted;
    } cases[] = {{"two preambles", 0, true}, {"one preamble", 1, false}};
    for (const auto& c : cases)
    {
        const std::vector<uint8_t> longFrame(request.begin() + c.dropped, request.end());
        const std::vector<uint8_t> shortFrame(poll.begin() + c.dropped, poll.end());
        Request decoded;
        ShortFrame decodedShort;
        EXPECT_EQ(DecodeRequest(longFrame, kDevice, &decoded) == DecodeError::None, c.accepted)
            << c.name;
        EXPECT_EQ(DecodeShortRequest(shortFrame, &decodedShort), c.accepted) << c.name;
        FrameScanner scanner;
        scanner.Add(longFrame.data(), longFrame.size());
        std::vector<uint8_t> taken;
        EXPECT_EQ(scanner.Take(&taken), c.accepted) << c.name;
    }
}

TEST(FrameScannerBounds, AnEndlessRunOfPreamblesKeepsOnlyASendersWorth)
{
    FrameScanner scanner;
    const std::vector<uint8_t> run(100000, kPreamble);
    for (std::size_t i = 0; i < 40; ++i)
        scanner.Add(run.data(), run.size());
    std::vector<uint8_t> frame;
    EXPECT_FALSE(scanner.Take(&frame));
    EXPECT_EQ(scanner.Missing(), 0u);
    const std::vector<uint8_t> answer = AnswerFrom(kDevice, 223);
    scanner.Add(answer.data() + kSendPreambles, answer.size() - kSendPreambles);
    ASSERT_TRUE(scanner.Take(&frame));
    EXPECT_EQ(frame.size(), kMaxPreambles + answer.size() - kSendPreambles);
}

TEST(FrameScannerBounds, MissingCountsWhatTheFrameInProgressStillNeeds)
{
    const std::vector<uint8_t> answer = AnswerFrom(kDevice, 223);
    const struct
    {
        const char* name;
        std::vector<uint8_t> line;
        std::size_t missing;
    } cases[] = {
        {"nothing", {}, 0},
        {"noise", {0x55, 0x12, 0xFE}, 0},
        {"preambles alone", {0xFF, 0xFF, 0xFF}, 0},
        {"delimiter only", {0xFF, 0xFF, 0x86}, 7},
        {"header without count", std::vector<uint8_t>(answer.begin(), answer.begin() + 12), 1},
        {"header whole", std::vector<uint8_t>(answer.begin(), answer.begin() + 13), 7},
        {"all but the check byte", std::vector<uint8_t>(answer.begin(), answer.end() - 1), 1},
    };
    for (const auto& c : cases)
    {
        FrameScanner scanner;
        scanner.Add(c.line.data(), c.line.size());
        std::vector<uint8_t> frame;
        scanner.Take(&frame);
        EXPECT_EQ(scanner.Missing(), c.missing) << c.name;
    }
}

} // namespace
