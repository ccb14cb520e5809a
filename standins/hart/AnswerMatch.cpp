// Which received frame is the answer to a request (AnswerMatch.h).
#include "AnswerMatch.h"

#include "HartFrame.h"

#include <algorithm>

namespace hartsim
{
namespace
{
constexpr uint8_t kLongAddressBit = 0x80;
constexpr uint8_t kExpansionBits = 0x60;
constexpr uint8_t kFrameTypeBits = 0x07;
constexpr uint8_t kBack = 0x01;
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kAck = 0x06;
// The device part of the first address byte: a short frame's polling address, a long frame's
// manufacturer bits. The two bits above it name the master and burst mode.
constexpr uint8_t kDeviceBitsOfByte0 = 0x3F;

struct Parsed
{
    uint8_t delimiter = 0;
    // The device part only.
    std::vector<uint8_t> address;
    // The master bit of byte 0: set when the frame is to or from the primary master.
    uint8_t master = 0;
    uint8_t command = 0;
};

// False unless the bytes are one whole frame with a right check byte.
bool Parse(const std::vector<uint8_t>& frame, Parsed* parsed)
{
    std::size_t start = 0;
    while (start < frame.size() && frame[start] == kPreamble)
        ++start;
    if (start < kMinPreambles || start == frame.size())
        return false;
    const uint8_t delimiter = frame[start];
    const std::size_t addressBytes = (delimiter & kLongAddressBit) != 0 ? 5 : 1;
    const std::size_t header = 1 + addressBytes + ((delimiter & kExpansionBits) >> 5) + 2;
    if (frame.size() - start < header + 1 ||
        frame.size() - start != header + frame[start + header - 1] + 1 ||
        Checksum(frame.data() + start, frame.size() - start - 1) != frame.back())
        return false;
    parsed->delimiter = delimiter;
    parsed->address.assign(frame.begin() + static_cast<std::ptrdiff_t>(start + 1),
                           frame.begin() + static_cast<std::ptrdiff_t>(start + 1 + addressBytes));
    parsed->master = parsed->address[0] & kPrimaryMasterBit;
    parsed->address[0] &= kDeviceBitsOfByte0;
    parsed->command = frame[start + header - 2];
    return true;
}
} // namespace

Received ClassifyReceived(const std::vector<uint8_t>& request, const std::vector<uint8_t>& frame)
{
    Parsed sent, heard;
    if (!Parse(request, &sent) || !Parse(frame, &heard))
        return Received::Garbled;
    switch (heard.delimiter & kFrameTypeBits)
    {
    case kStx:
        return Received::Echo;
    case kBack:
        return Received::Burst;
    case kAck:
        break;
    default:
        return Received::Garbled;
    }
    if (heard.address != sent.address)
        return Received::OtherDevice;
    if (heard.master != sent.master)
        return Received::OtherMaster;
    if (heard.command != sent.command)
        return Received::OtherCommand;
    return Received::Answer;
}

} // namespace hartsim
