// Decodes command 0's answer into the identity a master keeps of a device: its expanded device
// type, manufacturer, device id, HART revision and long address, in every revision's layout.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hartsim
{

// What a command-0 answer says about a device, as a master keeps it.
struct DeviceIdentity
{
    uint8_t pollingAddress = 0;
    // Data bytes 1-2: the expanded device type (HART 6 and 7); in HART 5 the manufacturer id and
    // the device type.
    uint16_t expandedDeviceType = 0;
    // HART 5 and 6: data byte 1; HART 7: data bytes 17-18. Unknown when a HART 7 answer is too
    // short to carry it.
    std::optional<uint16_t> manufacturer;
    uint32_t deviceId = 0;
    uint8_t hartRevision = 0;
    // The device's long address without the primary-master bit that a master sets in its frames.
    std::array<uint8_t, 5> longAddress{};
};

// False when the answer data are shorter than the 12 bytes every revision carries.
bool DecodeIdentity(const std::vector<uint8_t>& answer, uint8_t pollingAddress,
                    DeviceIdentity* identity);

// Upper-case hexadecimal of the bytes, without separators.
std::string HexText(const uint8_t* bytes, std::size_t count);

} // namespace hartsim
