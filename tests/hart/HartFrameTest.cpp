// Tests of HART long frames: encoding requests and answers byte for byte, their limits, and
// decoding with every fault a receiver reports.
#include "HartFrame.h"

#include <gtest/gtest.h>

#include <functional>

using namespace hartsim;

namespace
{

const LongAddress kAddress = LongAddress::ForDevice(0xE0, 0xB3, {0x00, 0x03, 0x2A});

Request ToDevice(uint8_t command, std::vector<uint8_t> data)
{
    return {kAddress, command, std::move(data)};
}

// Recomputes the checksum of a frame with five preambles after a deliberate change.
void Reseal(std::vector<uint8_t>& frame)
{
    frame.back() = Checksum(frame.data() + 5, frame.size() - 6);
}

} // namespace

TEST(HartFrame, EncodesARequestByteForByte)
{
    const std::vector<uint8_t> expected = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x82, 0xA0, 0xB3,
                                           0x00, 0x03, 0x2A, 0xDF, 0x01, 0x01, 0x67};
    EXPECT_EQ(EncodeRequest(ToDevice(223, {0x01})), expected);
}

TEST(HartFrame, ErrorAnswerCarriesOnlyTheStatusBytes)
{
    const std::vector<uint8_t> frame = EncodeAnswer({kAddress, 182, 7, 0x40, {}});
    const std::vector<uint8_t> expected = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x86, 0xA0, 0xB3,
                                           0x00, 0x03, 0x2A, 0xB6, 0x02, 0x07, 0x40, 0x4F};
    EXPECT_EQ(frame, expected);

    Answer decoded;
    decoded.data = {1, 2, 3};
    ASSERT_EQ(DecodeAnswer(frame, kAddress, &decoded), DecodeError::None);
    EXPECT_EQ(decoded.responseCode, 7);
    EXPECT_EQ(decoded.deviceStatus, 0x40);
    EXPECT_TRUE(decoded.data.empty());
}

TEST(HartFrame, LargestAnswerRoundTripsWithTwentyPreambles)
{
    Answer answer{kAddress, 223, 0, 0x20, std::vector<uint8_t>(253)};
    for (int i = 0; i < 253; ++i)
        answer.data[i] = static_cast<uint8_t>(i);
    const std::vector<uint8_t> frame = EncodeAnswer(answer, 20);
    ASSERT_EQ(frame.size(), 20 + 8 + 255 + 1u);
    EXPECT_EQ(frame[27], 255);

    Answer decoded;
    ASSERT_EQ(DecodeAnswer(frame, kAddress, &decoded), DecodeError::None);
    EXPECT_EQ(decoded.command, 223);
    EXPECT_EQ(decoded.deviceStatus, 0x20);
    EXPECT_EQ(decoded.data, answer.data);
}

TEST(HartFrame, RefusesToEncodeOutOfLimitFrames)
{
    EXPECT_TRUE(EncodeRequest(ToDevice(0, {}), kMinPreambles - 1).empty());
    EXPECT_TRUE(EncodeRequest(ToDevice(0, {}), 21).empty());
    EXPECT_TRUE(EncodeRequest(ToDevice(0, std::vector<uint8_t>(254))).empty());
    EXPECT_FALSE(EncodeRequest(ToDevice(0, std::vector<uint8_t>(253))).empty());
}

TEST(HartFrame, DecodeIgnoresTheMasterBit)
{
    std::vector<uint8_t> frame = EncodeRequest(ToDevice(0, {}));
    frame[6] &= 0x3F; // secondary master
    Reseal(frame);
    Request request;
    ASSERT_EQ(DecodeRequest(frame, kAddress, &request), DecodeError::None);
    EXPECT_EQ(request.address.bytes[0], 0x20);
}

using Change = std::function<void(std::vector<uint8_t>&)>;

struct BrokenFrame
{
    const char* name;
    Change breakIt;
    DecodeError expected;
};

Change ThenReseal(Change change)
{
    return [change](std::vector<uint8_t>& f) {
        change(f);
        Reseal(f);
    };
}

TEST(HartFrame, DecodeReportsEachFault)
{
    const std::vector<BrokenFrame> cases = {
        {"empty", [](auto& f) { f.clear(); }, DecodeError::TooFewPreambles},
        {"one preamble", [](auto& f) { f.erase(f.begin(), f.begin() + 4); },
         DecodeError::TooFewPreambles},
        {"answer delimiter", ThenReseal([](auto& f) { f[5] = kDelimiterAck; }),
         DecodeError::WrongDelimiter},
        {"preambles only", [](auto& f) { f.resize(5); }, DecodeError::Truncated},
        {"ends in the address", [](auto& f) { f.resize(9); }, DecodeError::Truncated},
        {"missing checksum", [](auto& f) { f.pop_back(); }, DecodeError::ByteCountMismatch},
        {"trailing byte", [](auto& f) { f.push_back(0); }, DecodeError::ByteCountMismatch},
        {"count too high", ThenReseal([](auto& f) { f[12] = 3; }), DecodeError::ByteCountMismatch},
        {"flipped data bit", [](auto& f) { f[13] ^= 0x10; }, DecodeError::BadChecksum},
        {"other device", ThenReseal([](auto& f) { f[7] = 0x01; }), DecodeError::AddressMismatch},
        {"254 data bytes", ThenReseal([](auto& f) {
             f[12] = 254;
             f.insert(f.end() - 1, 252, 0x00);
         }),
         DecodeError::DataTooLong},
    };
    for (const BrokenFrame& broken : cases)
    {
        std::vector<uint8_t> frame = EncodeRequest(ToDevice(222, {0x01, 0x02}));
        broken.breakIt(frame);
        Request request;
        request.command = 99;
        EXPECT_EQ(DecodeRequest(frame, kAddress, &request), broken.expected) << broken.name;
        EXPECT_EQ(request.command, 99) << broken.name << ": output written on error";
    }
}

TEST(HartFrame, AnswerWithoutStatusBytesIsReported)
{
    for (std::size_t count : {0u, 1u})
    {
        std::vector<uint8_t> frame = EncodeRequest(ToDevice(0, std::vector<uint8_t>(count)));
        frame[5] = kDelimiterAck;
        Reseal(frame);
        Answer answer;
        EXPECT_EQ(DecodeAnswer(frame, kAddress, &answer), DecodeError::MissingStatus) << count;
    }
    Answer answer;
    EXPECT_EQ(DecodeAnswer(EncodeRequest(ToDevice(0, {0, 0})), kAddress, &answer),
              DecodeError::WrongDelimiter);
}
