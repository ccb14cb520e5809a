// Finding the devices on a real link before their long addresses are known.
#pragma once

#include "Link.h"

#include <HartFrame.h>

#include <functional>

namespace hartsecomm
{

struct FoundDevice
{
    uint8_t pollingAddress = 0;
    hartsim::LongAddress address;
    // The command-0 answer data (after the two status bytes).
    std::vector<uint8_t> identity;
};

// Called with each polling address before it is polled; false ends the search there.
typedef std::function<bool(uint8_t pollingAddress)> BeforePoll;

// Sends command 0 in a short frame to polling addresses 0 to lastPollingAddress, in order (past 15
// only once a device found speaks HART 6 or later), and
// returns the devices that answered it successfully with a whole, well-formed identity (254 in
// byte 0); a device found again at a later address (the same long address) is left out. Stops
// when the link cannot reach the other end at all.
std::vector<FoundDevice> FindDevices(Link& link, uint8_t lastPollingAddress,
                                     const BeforePoll& beforePoll);

// The long address a primary master uses, from a command-0 answer: the expanded device type (or
// manufacturer id and device type) from data bytes 1-2 and the device id from bytes 9-11. False
// when the data are too short or byte 0 is not 254.
bool AddressFromIdentity(const std::vector<uint8_t>& identity, hartsim::LongAddress* address);

} // namespace hartsecomm
