// Long HART frames, as master requests (STX) and slave answers (ACK): the five-byte address, the
// encoding with preambles and check byte, and decoding with the reason a frame is refused. Short
// frames are in ShortFrame.h; burst frames (BACK), expansion bytes and the physical layer are left
// out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hartsim
{

constexpr uint8_t kPreamble = 0xFF;
// The one preamble rule of every receiver here: a frame needs at least two preambles before its
// delimiter, as real masters accept (a modem's carrier detect may eat some of a sender's five).
constexpr std::size_t kMinPreambles = 2;
// What our own frames carry, and the longest run a sender may use.
constexpr std::size_t kSendPreambles = 5;
constexpr std::size_t kMaxPreambles = 20;
// Long-frame delimiters: master to slave (STX) and slave to master (ACK).
constexpr uint8_t kDelimiterStx = 0x82;
constexpr uint8_t kDelimiterAck = 0x86;
// Data bytes a frame may carry; an answer carries the two status bytes on top.
constexpr std::size_t kMaxDataBytes = 253;
constexpr std::size_t kStatusBytes = 2;
constexpr uint8_t kPrimaryMasterBit = 0x80;

// The 5-byte long address: manufacturer id (low 6 bits) with the master bit, device type and the
// 3-byte device id.
struct LongAddress
{
    std::array<uint8_t, 5> bytes{};

    static LongAddress ForDevice(uint8_t manufacturerId, uint8_t deviceType,
                                 const std::array<uint8_t, 3>& deviceId);
    // Compares the device part only: the master and burst bits of byte 0 name the sender's role.
    bool SameDevice(const LongAddress& other) const;
};

struct Request
{
    LongAddress address;
    uint8_t command = 0;
    std::vector<uint8_t> data;
};

struct Answer
{
    LongAddress address;
    uint8_t command = 0;
    uint8_t responseCode = 0;
    uint8_t deviceStatus = 0;
    // Data after the two status bytes; empty in error answers.
    std::vector<uint8_t> data;
};

enum class DecodeError
{
    None,
    TooFewPreambles,
    WrongDelimiter,
    // The frame ends before its byte count.
    Truncated,
    // The bytes after the byte count are not byte count + 1 (data and checksum).
    ByteCountMismatch,
    BadChecksum,
    AddressMismatch,
    // A request byte count above 253; an answer's count cannot exceed 253 + 2.
    DataTooLong,
    // An answer whose byte count leaves no room for the two status bytes.
    MissingStatus,
};

// XOR of the given bytes; over a frame it runs from the delimiter through the last data byte.
uint8_t Checksum(const uint8_t* bytes, std::size_t count);

// Both return an empty vector when the preamble count is outside kMinPreambles..kMaxPreambles or
// the data exceed 253 bytes.
std::vector<uint8_t> EncodeRequest(const Request& request, std::size_t preambles = kSendPreambles);
std::vector<uint8_t> EncodeAnswer(const Answer& answer, std::size_t preambles = kSendPreambles);

// Decode a received frame addressed to (or coming from) the expected device. The output is written
// only when the result is DecodeError::None.
DecodeError DecodeRequest(const std::vector<uint8_t>& frame, const LongAddress& expected,
                          Request* request);
DecodeError DecodeAnswer(const std::vector<uint8_t>& frame, const LongAddress& expected,
                         Answer* answer);

} // namespace hartsim
