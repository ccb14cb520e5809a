// Short HART frames, with a one-byte polling address, which a master uses only to find a device
// with command 0 before it knows the long address. Only that search is served: no other command in
// short frames, no burst mode.
#pragma once

#include "HartFrame.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hartsim
{

// Short frames carry a one-byte address: the polling address with the master bit. A master uses
// them only to find a device, with command 0, before it knows the device's long address.
constexpr uint8_t kDelimiterShortStx = 0x02;
constexpr uint8_t kDelimiterShortAck = 0x06;
// Polling addresses: 0-63 from HART 6 on, 0-15 for a HART 5 device.
constexpr uint8_t kMaxPollingAddress = 63;
constexpr uint8_t kMaxHart5PollingAddress = 15;
// The first HART revision whose devices may sit at polling addresses above 15.
constexpr uint8_t kFirstRevisionWithWidePolling = 6;

struct ShortFrame
{
    uint8_t pollingAddress = 0;
    uint8_t command = 0;
    // Request data, or an answer's two status bytes followed by its data.
    std::vector<uint8_t> field;
};

// A primary master's short request; empty when the polling address or the data are out of range.
std::vector<uint8_t> EncodeShortRequest(const ShortFrame& request,
                                        std::size_t preambles = kSendPreambles);
std::vector<uint8_t> EncodeShortAnswer(const ShortFrame& answer,
                                       std::size_t preambles = kSendPreambles);

// Decode a whole short frame (at least kMinPreambles preambles, the delimiter, a matching byte
// count and a good checksum); false otherwise, and the output is then untouched.
bool DecodeShortRequest(const std::vector<uint8_t>& frame, ShortFrame* request);
bool DecodeShortAnswer(const std::vector<uint8_t>& frame, ShortFrame* answer);

} // namespace hartsim
