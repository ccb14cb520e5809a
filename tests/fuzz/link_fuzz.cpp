// Arbitrary bytes as a master meets them on a real link: fed to the frame scanner in pieces of
// arbitrary size, judged against our own request, decoded as a short answer, and read as a
// HART-IP message and session initiate body. Nothing may crash or touch memory out of bounds;
// every frame the scanner hands out is a whole frame of the line, a frame judged the answer
// decodes as the answer of the requested device and command, and what decodes encodes back to
// the same bytes.
#include "AnswerLength.h"
#include "AnswerMatch.h"
#include "FrameScanner.h"
#include "HartFrame.h"
#include "HartIpMessage.h"
#include "ShortFrame.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace hartsim;

namespace
{
void Require(bool condition)
{
    if (!condition)
        abort();
}

const LongAddress kDevice = LongAddress::ForDevice(0x20, 0xB3, {0x00, 0x03, 0x2A});
// Preambles, delimiter, five address bytes, expansion, command, count, 255 bytes, check byte.
constexpr std::size_t kLongestFrame = kMaxPreambles + 1 + 5 + 3 + 2 + 255 + 1;

std::size_t Preambles(const std::vector<uint8_t>& frame)
{
    std::size_t count = 0;
    while (count < frame.size() && frame[count] == kPreamble)
        ++count;
    return count;
}

// The first byte chooses the piece size, the rest is the line.
void ScansInPieces(const std::vector<uint8_t>& line, std::size_t piece)
{
    FrameScanner scanner;
    std::vector<uint8_t> frame;
    for (std::size_t at = 0; at < line.size(); at += piece)
    {
        const std::size_t count = std::min(piece, line.size() - at);
        scanner.Add(line.data() + at, count);
        while (scanner.Take(&frame))
        {
            Require(Preambles(frame) >= kMinPreambles && frame.size() <= kLongestFrame);
            Require(std::search(line.begin(), line.end(), frame.begin() + Preambles(frame),
                                frame.end()) != line.end());
        }
        Require(scanner.Missing() < kLongestFrame);
    }
}

void JudgedAgainstRequests(const std::vector<uint8_t>& frame, uint8_t command)
{
    const std::vector<uint8_t> request = EncodeRequest({kDevice, command, {}});
    if (ClassifyReceived(request, frame) == Received::Answer)
    {
        Answer answer;
        const DecodeError error = DecodeAnswer(frame, kDevice, &answer);
        Require(error == DecodeError::None || error == DecodeError::MissingStatus ||
                error == DecodeError::WrongDelimiter);
        if (error == DecodeError::None)
        {
            Require(answer.command == command);
            AnswerIsWhole(command, {}, answer.data);
        }
    }
    ShortFrame poll;
    poll.pollingAddress = command & kMaxPollingAddress;
    ClassifyReceived(EncodeShortRequest(poll), frame);
}

// A short answer from a slave (master bit set, burst bit clear, polling address 0-15) encodes
// back to itself.
void ShortAnswerRoundTrips(const std::vector<uint8_t>& frame)
{
    ShortFrame answer;
    if (!DecodeShortAnswer(frame, &answer))
        return;
    const uint8_t address = frame[Preambles(frame) + 1];
    if ((address & 0xF0) == 0x80 && Preambles(frame) <= kMaxPreambles)
        Require(EncodeShortAnswer(answer, Preambles(frame)) == frame);
}

void HartIpRoundTrips(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() >= hartip::kHeaderBytes)
        hartip::MessageLength(bytes.data());
    hartip::Message message;
    if (hartip::Decode(bytes, &message))
        Require(hartip::Encode(message) == bytes);
    uint8_t hostType = 0;
    uint32_t timer = 0;
    if (hartip::ParseInitiateBody(bytes, &hostType, &timer))
        Require(hartip::InitiateBody(hostType, timer) == bytes);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::vector<uint8_t> line(data + 1, data + size);
    ScansInPieces(line, data[0] % 64 + 1);
    JudgedAgainstRequests(line, data[0]);
    ShortAnswerRoundTrips(line);
    HartIpRoundTrips(line);
    return 0;
}
