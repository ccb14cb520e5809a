// The faults of a real line that the simulation can put into an exchange (lost requests, damaged
// or cut answers, another device answering, busy, delayed and write-protect answers), queued per
// command. Each fault spoils one exchange in a fixed way; random noise and timing faults are left
// out.
#pragma once

#include "Transmitter.h"

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hartsim
{

// The ways an exchange fails on a real line.
enum class WireFault
{
    // The request is lost: the transmitter neither sees nor answers it.
    NoAnswer,
    // The transmitter answers, but one byte of the answer is damaged on the way back, so its
    // check byte does not match.
    Garbled,
    // The transmitter found a parity error in the request and says so (response code 0xC0)
    // without carrying out the command.
    Parity,
    // The transmitter answers, but the line drops the answer's second half.
    Short,
    // Another device answers in its place: a valid frame with another device's address.
    OtherAddress,
    // The transmitter answers with a response code instead of carrying out the command:
    // 32 busy, 33 / 34 / 35 delayed response initiated / running / dead, 7 write-protected.
    Busy,
    DelayedInitiated,
    DelayedRunning,
    DelayedDead,
    WriteProtected,
};

// The names the script host uses: noanswer, garbled, parity, short, otheraddr, busy, dr33, dr34,
// dr35, writeprotect.
std::optional<WireFault> ParseWireFault(const std::string& name);

// The faults waiting for the next exchanges, per command, first in first out.
class FaultPlan
{
public:
    void Queue(uint8_t command, WireFault fault, int count);
    void Clear() { queued_.clear(); }

    // One exchange with the transmitter over the line: the answer frame the master receives
    // (empty: nothing came), after the next fault queued for the request's command, if any.
    std::vector<uint8_t> Exchange(Transmitter& transmitter, uint8_t command,
                                  const std::vector<uint8_t>& requestFrame);

private:
    std::map<uint8_t, std::deque<WireFault>> queued_;
};

// The answer frame of one exchange that suffers the given fault.
std::vector<uint8_t> FaultyExchange(Transmitter& transmitter, WireFault fault,
                                    const std::vector<uint8_t>& requestFrame);

} // namespace hartsim
