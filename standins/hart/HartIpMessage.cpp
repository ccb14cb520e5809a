// Encoding and decoding of HART-IP messages (HartIpMessage.h). A message is decoded only when it is
// exactly as long as its header says.
#include "HartIpMessage.h"

namespace hartsim
{
namespace hartip
{

std::vector<uint8_t> Encode(const Message& message)
{
    const std::size_t length = kHeaderBytes + message.body.size();
    std::vector<uint8_t> bytes;
    bytes.reserve(length);
    bytes.push_back(kVersion);
    bytes.push_back(message.type);
    bytes.push_back(message.id);
    bytes.push_back(message.status);
    bytes.push_back(static_cast<uint8_t>(message.sequence >> 8));
    bytes.push_back(static_cast<uint8_t>(message.sequence));
    bytes.push_back(static_cast<uint8_t>(length >> 8));
    bytes.push_back(static_cast<uint8_t>(length));
    bytes.insert(bytes.end(), message.body.begin(), message.body.end());
    return bytes;
}

std::size_t MessageLength(const uint8_t* header)
{
    const std::size_t length = static_cast<std::size_t>(header[6]) << 8 | header[7];
    return header[0] == kVersion && length >= kHeaderBytes ? length : 0;
}

bool Decode(const std::vector<uint8_t>& bytes, Message* message)
{
    if (bytes.size() < kHeaderBytes || MessageLength(bytes.data()) != bytes.size())
        return false;
    message->type = bytes[1];
    message->id = bytes[2];
    message->status = bytes[3];
    message->sequence = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    message->body.assign(bytes.begin() + kHeaderBytes, bytes.end());
    return true;
}

std::vector<uint8_t> InitiateBody(uint8_t hostType, uint32_t inactivityMilliseconds)
{
    return {hostType, static_cast<uint8_t>(inactivityMilliseconds >> 24),
            static_cast<uint8_t>(inactivityMilliseconds >> 16),
            static_cast<uint8_t>(inactivityMilliseconds >> 8),
            static_cast<uint8_t>(inactivityMilliseconds)};
}

bool ParseInitiateBody(const std::vector<uint8_t>& body, uint8_t* hostType,
                       uint32_t* inactivityMilliseconds)
{
    if (body.size() != kInitiateBodyBytes)
        return false;
    *hostType = body[0];
    *inactivityMilliseconds = static_cast<uint32_t>(body[1]) << 24 |
                              static_cast<uint32_t>(body[2]) << 16 |
                              static_cast<uint32_t>(body[3]) << 8 | body[4];
    return true;
}

} // namespace hartip
} // namespace hartsim
