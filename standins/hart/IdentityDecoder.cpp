// Decodes command 0's answer (IdentityDecoder.h).
#include "IdentityDecoder.h"

#include <stdio.h>

namespace hartsim
{
namespace
{
constexpr std::size_t kIdentityBytes = 12;
constexpr uint8_t kManufacturerBits = 0x3F;
constexpr uint8_t kFirstRevisionWithManufacturerCode = 7;
constexpr std::size_t kManufacturerCodeAt = 17;
} // namespace

bool DecodeIdentity(const std::vector<uint8_t>& answer, uint8_t pollingAddress,
                    DeviceIdentity* identity)
{
    if (answer.size() < kIdentityBytes)
        return false;
    DeviceIdentity decoded;
    decoded.pollingAddress = pollingAddress;
    decoded.expandedDeviceType = static_cast<uint16_t>(answer[1] << 8 | answer[2]);
    decoded.hartRevision = answer[4];
    decoded.deviceId = static_cast<uint32_t>(answer[9] << 16 | answer[10] << 8 | answer[11]);
    if (decoded.hartRevision < kFirstRevisionWithManufacturerCode)
        decoded.manufacturer = answer[1];
    else if (answer.size() >= kManufacturerCodeAt + 2)
        decoded.manufacturer = static_cast<uint16_t>(answer[kManufacturerCodeAt] << 8 |
                                                     answer[kManufacturerCodeAt + 1]);
    decoded.longAddress = {static_cast<uint8_t>(answer[1] & kManufacturerBits), answer[2],
                           answer[9], answer[10], answer[11]};
    *identity = decoded;
    return true;
}

std::string HexText(const uint8_t* bytes, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
    {
        char hex[3];
        snprintf(hex, sizeof hex, "%02X", bytes[i]);
        text += hex;
    }
    return text;
}

} // namespace hartsim
