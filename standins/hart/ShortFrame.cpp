// Encoding and decoding of short HART frames (ShortFrame.h). A decoder writes its output only for a
// whole, well-formed frame.
#include "ShortFrame.h"

#include "HartFrame.h"

namespace hartsim
{
namespace
{

// Delimiter, address, command and byte count.
constexpr std::size_t kHeaderBytes = 4;
constexpr uint8_t kPollingBits = 0x3F;

std::vector<uint8_t> Encode(uint8_t delimiter, const ShortFrame& frame, std::size_t maxField,
                            std::size_t preambles)
{
    if (frame.pollingAddress > kMaxPollingAddress || frame.field.size() > maxField ||
        preambles < kMinPreambles || preambles > kMaxPreambles)
        return {};
    std::vector<uint8_t> bytes(preambles, kPreamble);
    bytes.push_back(delimiter);
    bytes.push_back(static_cast<uint8_t>(frame.pollingAddress | kPrimaryMasterBit));
    bytes.push_back(frame.command);
    bytes.push_back(static_cast<uint8_t>(frame.field.size()));
    bytes.insert(bytes.end(), frame.field.begin(), frame.field.end());
    bytes.push_back(Checksum(bytes.data() + preambles, bytes.size() - preambles));
    return bytes;
}

bool Decode(const std::vector<uint8_t>& bytes, uint8_t delimiter, ShortFrame* frame)
{
    std::size_t start = 0;
    while (start < bytes.size() && bytes[start] == kPreamble)
        ++start;
    if (start < kMinPreambles || bytes.size() - start < kHeaderBytes + 1 ||
        bytes[start] != delimiter)
        return false;
    const std::size_t count = bytes[start + 3];
    if (bytes.size() - start != kHeaderBytes + count + 1 ||
        Checksum(bytes.data() + start, kHeaderBytes + count) != bytes.back())
        return false;
    frame->pollingAddress = bytes[start + 1] & kPollingBits;
    frame->command = bytes[start + 2];
    frame->field.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start + kHeaderBytes),
                        bytes.end() - 1);
    return true;
}

} // namespace

std::vector<uint8_t> EncodeShortRequest(const ShortFrame& request, std::size_t preambles)
{
    return Encode(kDelimiterShortStx, request, kMaxDataBytes, preambles);
}

std::vector<uint8_t> EncodeShortAnswer(const ShortFrame& answer, std::size_t preambles)
{
    return Encode(kDelimiterShortAck, answer, kMaxDataBytes + kStatusBytes, preambles);
}

bool DecodeShortRequest(const std::vector<uint8_t>& frame, ShortFrame* request)
{
    return Decode(frame, kDelimiterShortStx, request);
}

bool DecodeShortAnswer(const std::vector<uint8_t>& frame, ShortFrame* answer)
{
    return Decode(frame, kDelimiterShortAck, answer);
}

} // namespace hartsim
