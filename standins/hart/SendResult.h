// What hartSeComm's HartSendCmd reports for one exchange, mapped from the answer's response code:
// 0xF0 done, 0xFE busy, 0xFF no valid answer, otherwise the code itself. This is the stand-in's
// reading of the host's documented results; retries belong to the caller (the page's retry rule).
#pragma once

#include <cstdint>
#include <optional>

namespace hartsim
{

// Results of one exchange as HartSendCmd reports them to its caller.
constexpr uint8_t kSendDone = 0xF0;
constexpr uint8_t kSendBusy = 0xFE;
constexpr uint8_t kSendNoValidAnswer = 0xFF;

// Maps the response code of the answer, or nullopt when no valid answer came (time-out, framing
// or checksum error), to the send result:
//   success and warnings (8, 14, 24-27, 30, 31, 96-127): the command was carried out -> 0xF0
//   32 busy -> 0xFE, the caller sends again
//   no valid answer, or a communication error reported by the device (bit 7 set) -> 0xFF
//   any other code -> the code itself; the caller also resends those whose 0x0D bits are all set
uint8_t SendResult(std::optional<uint8_t> responseCode);

} // namespace hartsim
