// The device search on a real link (Discovery.h): command 0 in a short frame at each polling
// address up to the last one asked for, and the long address taken from each answer's identity.
// Addresses above 15 are polled only on a loop whose devices speak HART 6 or later: a HART 5
// device cannot sit there.
// An answer from another address, for another command, with an error code or without a usable
// identity is passed over; nothing but command 0 is sent.
#include "Discovery.h"

#include <ShortFrame.h>

#include <algorithm>

namespace hartsecomm
{
namespace
{
constexpr std::size_t kIdentityBytes = 12;
// Byte 0 of every command-0 answer.
constexpr uint8_t kExpansionCode = 254;
constexpr uint8_t kManufacturerBits = 0x3F;
// Where the command-0 answer data give the device's HART revision (its universal revision).
constexpr std::size_t kRevisionByte = 4;

// Whether polling goes on past address 15: only when a device found speaks HART 6 or later.
bool WidePolling(const std::vector<FoundDevice>& found)
{
    return std::any_of(found.begin(), found.end(), [](const FoundDevice& device) {
        return device.identity[kRevisionByte] >= hartsim::kFirstRevisionWithWidePolling;
    });
}
} // namespace

bool AddressFromIdentity(const std::vector<uint8_t>& identity, hartsim::LongAddress* address)
{
    if (identity.size() < kIdentityBytes || identity[0] != kExpansionCode)
        return false;
    address->bytes = {
        static_cast<uint8_t>((identity[1] & kManufacturerBits) | hartsim::kPrimaryMasterBit),
        identity[2], identity[9], identity[10], identity[11]};
    return true;
}

std::vector<FoundDevice> FindDevices(Link& link, uint8_t lastPollingAddress,
                                     const BeforePoll& beforePoll)
{
    std::vector<FoundDevice> found;
    for (uint8_t poll = 0; poll <= lastPollingAddress; ++poll)
    {
        if ((poll > hartsim::kMaxHart5PollingAddress && !WidePolling(found)) || !beforePoll(poll))
            break;
        hartsim::ShortFrame request;
        request.pollingAddress = poll;
        hartsim::ShortFrame answer;
        const std::vector<uint8_t> frame = link.Exchange(hartsim::EncodeShortRequest(request));
        if (!link.Reachable())
            break;
        if (!hartsim::DecodeShortAnswer(frame, &answer) || answer.pollingAddress != poll ||
            answer.command != 0 || answer.field.size() < hartsim::kStatusBytes ||
            answer.field[0] != 0)
            continue;
        FoundDevice device;
        device.pollingAddress = poll;
        device.identity.assign(answer.field.begin() + hartsim::kStatusBytes, answer.field.end());
        if (AddressFromIdentity(device.identity, &device.address) &&
            std::none_of(found.begin(), found.end(), [&device](const FoundDevice& other) {
                return other.address.SameDevice(device.address);
            }))
            found.push_back(device);
    }
    return found;
}

} // namespace hartsecomm
