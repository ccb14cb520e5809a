// What travels on a real link and the receiver's decisions there: short frames for finding a
// device, which frame is the answer, how many preambles a frame needs, the frame scanner (also on a
// hostile line) and HART-IP messages.
#include "AnswerLength.h"
#include "AnswerMatch.h"
#include "FrameScanner.h"
#include "HartFrame.h"
#include "HartIpMessage.h"
#include "ResponseCodes.h"
#include "ShortFrame.h"
#include "Transmitter.h"

#include <gtest/gtest.h>

using namespace hartsim;

namespace
{

const LongAddress kDevice = LongAddress::ForDevice(0x20, 0xB3, {0x00, 0x03, 0x2A});
const LongAddress kNeighbour = LongAddress::ForDevice(0x20, 0xB3, {0x00, 0x03, 0x2B});
// kDevice as a secondary master (a handheld) addresses it.
const LongAddress kDeviceToHandheld{{0x20, 0xB3, 0x00, 0x03, 0x2A}};

std::vector<uint8_t> AnswerFrom(const LongAddress& address, uint8_t command,
                                std::size_t preambles = kSendPreambles)
{
    return EncodeAnswer({address, command, 0, 0, {1, 2, 3, 4}}, preambles);
}

std::vector<uint8_t> ShortAnswer(uint8_t pollingAddress, uint8_t command)
{
    return EncodeShortAnswer({pollingAddress, command, {0, 0, 254}});
}

std::vector<uint8_t> DropFirst(std::vector<uint8_t> frame)
{
    frame.erase(frame.begin());
    return frame;
}

std::vector<uint8_t> ShortRequest(uint8_t pollingAddress, uint8_t command = 0)
{
    return EncodeShortRequest({pollingAddress, command, {}});
}

TEST(AnswerMatch, OnlyTheSameDevicesAnswerToTheSameCommandIsTheAnswer)
{
    const std::vector<uint8_t> request = EncodeRequest({kDevice, 223, {1}});
    std::vector<uint8_t> burst = AnswerFrom(kDevice, 223);
    burst[kSendPreambles] = 0x81;
    burst.back() = Checksum(burst.data() + kSendPreambles, burst.size() - kSendPreambles - 1);
    std::vector<uint8_t> badCheck = AnswerFrom(kDevice, 223);
    badCheck.back() ^= 0x01;
    LongAddress inBurstMode = kDevice;
    inBurstMode.bytes[0] |= 0x40;
    const struct
    {
        const char* name;
        std::vector<uint8_t> request;
        std::vector<uint8_t> frame;
        Received expected;
    } cases[] = {
        {"the answer", request, AnswerFrom(kDevice, 223), Received::Answer},
        {"the answer with two preambles", request, AnswerFrom(kDevice, 223, 2), Received::Answer},
        {"the answer with the burst-mode bit set", request, AnswerFrom(inBurstMode, 223),
         Received::Answer},
        {"our own request heard back", request, request, Received::Echo},
        {"a burst frame", request, burst, Received::Burst},
        {"another device's answer", request, AnswerFrom(kNeighbour, 223), Received::OtherDevice},
        {"a late answer to command 15", request, AnswerFrom(kDevice, 15), Received::OtherCommand},
        {"the answer to a handheld", request, AnswerFrom(kDeviceToHandheld, 223),
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

TEST(ShortFrameTest, PollOfAddressZeroIsTheKnownRequestAndDamagedOnesAreNotDecoded)
{
    EXPECT_EQ(ShortRequest(0),
              std::vector<uint8_t>({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82}));
    EXPECT_TRUE(ShortRequest(kMaxPollingAddress + 1).empty());
    ShortFrame frame;
    std::vector<uint8_t> badCheck = ShortRequest(0);
    badCheck.back() ^= 1;
    EXPECT_FALSE(DecodeShortRequest(badCheck, &frame));
    EXPECT_FALSE(DecodeShortAnswer(ShortRequest(0), &frame));
}

TEST(ShortFrameTest, TransmitterAnswersCommandZeroOnlyAtItsPollingAddress)
{
    Transmitter transmitter;
    ASSERT_TRUE(transmitter.SetVariable("poll_address", "3", nullptr));
    EXPECT_TRUE(transmitter.Exchange(ShortRequest(0)).empty());
    EXPECT_TRUE(transmitter.Exchange(ShortRequest(3, 15)).empty());

    ShortFrame answer;
    ASSERT_TRUE(DecodeShortAnswer(transmitter.Exchange(ShortRequest(3)), &answer));
    EXPECT_EQ(answer.pollingAddress, 3);
    ASSERT_EQ(answer.field.size(), 2u + 12u);
    EXPECT_EQ(answer.field[0], 0);
    EXPECT_EQ(answer.field[1], status::kColdStart);
    // What a master builds the long address from: bytes 1-2 and the device id in bytes 9-11.
    const LongAddress address = transmitter.Address();
    EXPECT_EQ(address.bytes[0], (answer.field[2 + 1] & 0x3F) | kPrimaryMasterBit);
    EXPECT_EQ(address.bytes[1], answer.field[2 + 2]);
    EXPECT_EQ(std::vector<uint8_t>(address.bytes.begin() + 2, address.bytes.end()),
              std::vector<uint8_t>(answer.field.begin() + 2 + 9, answer.field.end()));
}

TEST(FrameScannerTest, FindsFramesInPiecesAfterNoiseAndBackToBack)
{
    const std::vector<uint8_t> first = AnswerFrom(kDevice, 223);
    const std::vector<uint8_t> second = ShortRequest(0);
    std::vector<uint8_t> line = {0x3C, 0xA5, 0xFF, 0x00, 0x82};
    line.insert(line.end(), first.begin(), first.end());
    line.insert(line.end(), second.begin(), second.end());

    FrameScanner scanner;
    std::vector<uint8_t> frame;
    std::vector<std::vector<uint8_t>> frames;
    for (uint8_t byte : line)
    {
        scanner.Add(&byte, 1);
        while (scanner.Take(&frame))
            frames.push_back(frame);
    }
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], first);
    EXPECT_EQ(frames[1], second);
}

TEST(HartIpMessageTest, HeaderIsBigEndianWithTheWholeLength)
{
    hartip::Message message;
    message.type = hartip::kRequest;
    message.id = hartip::kSessionInitiate;
    message.sequence = 0x1234;
    message.body = hartip::InitiateBody(hartip::kPrimaryHost, 60000);
    const std::vector<uint8_t> bytes = hartip::Encode(message);
    EXPECT_EQ(bytes, std::vector<uint8_t>({1, 0, 0, 0, 0x12, 0x34, 0, 13, 1, 0, 0, 0xEA, 0x60}));

    hartip::Message decoded;
    ASSERT_TRUE(hartip::Decode(bytes, &decoded));
    EXPECT_EQ(decoded.sequence, 0x1234);
    uint8_t hostType = 0;
    uint32_t timer = 0;
    ASSERT_TRUE(hartip::ParseInitiateBody(decoded.body, &hostType, &timer));
    EXPECT_EQ(hostType, hartip::kPrimaryHost);
    EXPECT_EQ(timer, 60000u);
}

TEST(HartIpMessageTest, RejectsOtherVersionsAndInconsistentCounts)
{
    std::vector<uint8_t> bytes = hartip::Encode(hartip::Message());
    EXPECT_EQ(hartip::MessageLength(bytes.data()), 8u);
    bytes[0] = 2;
    EXPECT_EQ(hartip::MessageLength(bytes.data()), 0u);
    bytes[0] = 1;
    bytes[7] = 7;
    EXPECT_EQ(hartip::MessageLength(bytes.data()), 0u);
    bytes[7] = 9;
    hartip::Message message;
    EXPECT_FALSE(hartip::Decode(bytes, &message));
}

} // namespace
