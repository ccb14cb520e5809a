// What travels on a real link: short frames for finding a device, the receiver's frame scanner
// and HART-IP messages.
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

std::vector<uint8_t> Poll(uint8_t pollingAddress, uint8_t command = 0)
{
    ShortFrame request;
    request.pollingAddress = pollingAddress;
    request.command = command;
    return EncodeShortRequest(request);
}

TEST(ShortFrameTest, PollOfAddressZeroIsTheKnownRequest)
{
    EXPECT_EQ(Poll(0),
              std::vector<uint8_t>({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82}));
    EXPECT_TRUE(Poll(kMaxPollingAddress + 1).empty());
}

TEST(ShortFrameTest, TransmitterAnswersCommandZeroOnlyAtItsPollingAddress)
{
    Transmitter transmitter;
    ASSERT_TRUE(transmitter.SetVariable("poll_address", "3", nullptr));
    EXPECT_TRUE(transmitter.Exchange(Poll(0)).empty());
    EXPECT_TRUE(transmitter.Exchange(Poll(3, 15)).empty());

    ShortFrame answer;
    ASSERT_TRUE(DecodeShortAnswer(transmitter.Exchange(Poll(3)), &answer));
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

TEST(ShortFrameTest, DamagedFramesAreNotDecoded)
{
    ShortFrame frame;
    std::vector<uint8_t> badCheck = Poll(0);
    badCheck.back() ^= 1;
    EXPECT_FALSE(DecodeShortRequest(badCheck, &frame));
    const std::vector<uint8_t> poll = Poll(0);
    const std::vector<uint8_t> onePreamble(poll.begin() + 4, poll.end());
    EXPECT_FALSE(DecodeShortRequest(onePreamble, &frame));
    EXPECT_FALSE(DecodeShortAnswer(Poll(0), &frame));
}

std::vector<uint8_t> LongAnswer(uint8_t command, std::vector<uint8_t> data)
{
    Answer answer;
    answer.address = Transmitter().Address();
    answer.command = command;
    answer.data = std::move(data);
    return EncodeAnswer(answer);
}

TEST(FrameScannerTest, FindsFramesInPiecesAfterNoiseAndBackToBack)
{
    const std::vector<uint8_t> first = LongAnswer(223, {1, 2, 3});
    const std::vector<uint8_t> second = Poll(0);
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

TEST(FrameScannerTest, WaitsForTheWholeCountedFrame)
{
    const std::vector<uint8_t> answer = LongAnswer(183, {0, 0, 0x80, 0x3F});
    FrameScanner scanner;
    scanner.Add(answer.data(), answer.size() - 1);
    std::vector<uint8_t> frame;
    EXPECT_FALSE(scanner.Take(&frame));
    scanner.Add(&answer.back(), 1);
    ASSERT_TRUE(scanner.Take(&frame));
    EXPECT_EQ(frame, answer);
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
