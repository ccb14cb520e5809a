// HART-IP messages, version 1, over TCP or UDP: the header, session initiate, close and
// keep-alive, and pass-through of a HART frame. Used by the service's HART-IP link and by the
// transmitter program's servers. Publish subscriptions, security (HART-IP 2) and the directory and
// audit messages are left out; a publish is only recognised by its message type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hartsim
{

// HART-IP messages: an 8-byte big-endian header (version, message type, message id, status,
// sequence number, byte count of the whole message) and a body.
namespace hartip
{
constexpr uint8_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 8;
constexpr uint16_t kDefaultPort = 5094;

enum MessageType : uint8_t
{
    kRequest = 0,
    kResponse = 1,
    kPublish = 2,
    kError = 3,
    kNak = 15
};

enum MessageId : uint8_t
{
    kSessionInitiate = 0,
    kSessionClose = 1,
    kKeepAlive = 2,
    kPassThrough = 3
};

// Status codes of error messages.
enum ErrorCode : uint8_t
{
    kSessionClosed = 0,
    kPrimarySessionUnavailable = 1,
    kServiceUnavailable = 2
};

constexpr uint8_t kPrimaryHost = 1;
// Session initiate body: host type and the inactivity close timer in milliseconds.
constexpr std::size_t kInitiateBodyBytes = 5;

struct Message
{
    uint8_t type = kRequest;
    uint8_t id = kKeepAlive;
    uint8_t status = 0;
    uint16_t sequence = 0;
    std::vector<uint8_t> body;
};

std::vector<uint8_t> Encode(const Message& message);
// The byte count of the message whose header starts at bytes; 0 when the header is not one of
// version 1 or its count is below the header's own size.
std::size_t MessageLength(const uint8_t* header);
// Decodes one whole message of exactly MessageLength bytes; false when it is not one.
bool Decode(const std::vector<uint8_t>& bytes, Message* message);

std::vector<uint8_t> InitiateBody(uint8_t hostType, uint32_t inactivityMilliseconds);
// False when the body is not a session initiate body.
bool ParseInitiateBody(const std::vector<uint8_t>& body, uint8_t* hostType,
                       uint32_t* inactivityMilliseconds);

} // namespace hartip
} // namespace hartsim
