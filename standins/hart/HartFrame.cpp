// Encoding and decoding of long HART frames (HartFrame.h). A decoder writes its output only for a
// frame that is whole, well formed and addressed to the expected device.
#include "HartFrame.h"

#include <utility>

namespace hartsim
{
namespace
{

// Delimiter, address, command and byte count.
constexpr std::size_t kHeaderBytes = 1 + 5 + 1 + 1;
constexpr uint8_t kDeviceBitsOfByte0 = 0x3F;

std::vector<uint8_t> Encode(uint8_t delimiter, const LongAddress& address, uint8_t command,
                            const std::vector<uint8_t>& field, std::size_t preambles)
{
    if (preambles < kMinPreambles || preambles > kMaxPreambles)
        return {};
    std::vector<uint8_t> frame(preambles, kPreamble);
    frame.push_back(delimiter);
    frame.insert(frame.end(), address.bytes.begin(), address.bytes.end());
    frame.push_back(command);
    frame.push_back(static_cast<uint8_t>(field.size()));
    frame.insert(frame.end(), field.begin(), field.end());
    frame.push_back(Checksum(frame.data() + preambles, frame.size() - preambles));
    return frame;
}

struct ParsedFrame
{
    LongAddress address;
    uint8_t command = 0;
    std::vector<uint8_t> field;
};

DecodeError Parse(const std::vector<uint8_t>& frame, uint8_t delimiter, std::size_t maxField,
                  const LongAddress& expected, ParsedFrame* parsed)
{
    std::size_t start = 0;
    while (start < frame.size() && frame[start] == kPreamble)
        ++start;
    if (start < kMinPreambles)
        return DecodeError::TooFewPreambles;
    if (start == frame.size())
        return DecodeError::Truncated;
    if (frame[start] != delimiter)
        return DecodeError::WrongDelimiter;
    if (frame.size() - start < kHeaderBytes)
        return DecodeError::Truncated;

    const std::size_t count = frame[start + kHeaderBytes - 1];
    if (count > maxField)
        return DecodeError::DataTooLong;
    const std::size_t fieldStart = start + kHeaderBytes;
    if (frame.size() - fieldStart != count + 1)
        return DecodeError::ByteCountMismatch;
    if (Checksum(frame.data() + start, kHeaderBytes + count) != frame.back())
        return DecodeError::BadChecksum;

    LongAddress address;
    for (std::size_t i = 0; i < address.bytes.size(); ++i)
        address.bytes[i] = frame[start + 1 + i];
    if (!address.SameDevice(expected))
        return DecodeError::AddressMismatch;

    parsed->address = address;
    parsed->command = frame[start + 6];
    parsed->field.assign(frame.begin() + static_cast<std::ptrdiff_t>(fieldStart), frame.end() - 1);
    return DecodeError::None;
}

} // namespace

LongAddress LongAddress::ForDevice(uint8_t manufacturerId, uint8_t deviceType,
                                   const std::array<uint8_t, 3>& deviceId)
{
    LongAddress address;
    address.bytes = {
        static_cast<uint8_t>((manufacturerId & kDeviceBitsOfByte0) | kPrimaryMasterBit), deviceType,
        deviceId[0], deviceId[1], deviceId[2]};
    return address;
}

bool LongAddress::SameDevice(const LongAddress& other) const
{
    if ((bytes[0] & kDeviceBitsOfByte0) != (other.bytes[0] & kDeviceBitsOfByte0))
        return false;
    for (std::size_t i = 1; i < bytes.size(); ++i)
    {
        if (bytes[i] != other.bytes[i])
            return false;
    }
    return true;
}

uint8_t Checksum(const uint8_t* bytes, std::size_t count)
{
    uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum ^= bytes[i];
    return sum;
}

std::vector<uint8_t> EncodeRequest(const Request& request, std::size_t preambles)
{
    if (request.data.size() > kMaxDataBytes)
        return {};
    return Encode(kDelimiterStx, request.address, request.command, request.data, preambles);
}

std::vector<uint8_t> EncodeAnswer(const Answer& answer, std::size_t preambles)
{
    if (answer.data.size() > kMaxDataBytes)
        return {};
    std::vector<uint8_t> field{answer.responseCode, answer.deviceStatus};
    field.insert(field.end(), answer.data.begin(), answer.data.end());
    return Encode(kDelimiterAck, answer.address, answer.command, field, preambles);
}

DecodeError DecodeRequest(const std::vector<uint8_t>& frame, const LongAddress& expected,
                          Request* request)
{
    ParsedFrame parsed;
    const DecodeError error = Parse(frame, kDelimiterStx, kMaxDataBytes, expected, &parsed);
    if (error != DecodeError::None)
        return error;
    request->address = parsed.address;
    request->command = parsed.command;
    request->data = std::move(parsed.field);
    return DecodeError::None;
}

DecodeError DecodeAnswer(const std::vector<uint8_t>& frame, const LongAddress& expected,
                         Answer* answer)
{
    ParsedFrame parsed;
    const DecodeError error =
        Parse(frame, kDelimiterAck, kMaxDataBytes + kStatusBytes, expected, &parsed);
    if (error != DecodeError::None)
        return error;
    if (parsed.field.size() < kStatusBytes)
        return DecodeError::MissingStatus;
    answer->address = parsed.address;
    answer->command = parsed.command;
    answer->responseCode = parsed.field[0];
    answer->deviceStatus = parsed.field[1];
    answer->data.assign(parsed.field.begin() + kStatusBytes, parsed.field.end());
    return DecodeError::None;
}

} // namespace hartsim
