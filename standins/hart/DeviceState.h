// Everything the simulated pressure transmitter holds: its identity, polling address, base data,
// the range of the primary variable, write protection and the busy counter. The values start as a
// bench transmitter of the maker the page serves, with range calibration offered. There is no
// process behind it: the pressure and temperature change only when a command or the script sets
// them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace hartsim
{

constexpr std::size_t kSerialLength = 9;

// Everything the simulated pressure transmitter holds. Pressure values are in the unit of
// unitCode; temperature is in degrees Celsius; K and B carry no unit.
struct DeviceState
{
    // Identity. The middle byte of the device id is the identity answer's byte 10.
    uint8_t manufacturerId = 0xE0;
    uint8_t deviceType = 0xB3;
    std::array<uint8_t, 3> deviceId = {0x00, 0x03, 0x2A};
    // The tag, at most 8 packable characters (command 13).
    std::string tag = "PT-101";
    // The address at which the device answers short frames (0-15).
    uint8_t pollingAddress = 0;

    // Base data. The serial number is held padded with blanks.
    uint8_t pressType = 0;
    uint8_t manufacturer = 0;
    uint8_t unitCode = 12; // kPa
    std::array<uint8_t, kSerialLength> serial = {'K', 'S', '0', '0', '0', '1', '2', '3', '4'};
    float rangeHigh = 250.0f;
    float rangeLow = 0.0f;
    // The present value (PV) as reported: the applied pressure less zero.
    float pressure = 1.25f;
    // The data bytes of command 183's answer: the pressure's four, cut or padded with zeros.
    uint8_t pvBytes = 4;
    float temperature = 23.5f;
    float zero = 0.0f;
    float factorK = 1.0f;
    float factorB = 0.0f;
    float calUp = 200.0f;
    float calDown = 0.0f;

    // Range of the primary variable and its damping in seconds.
    float lrv = 0.0f;
    float urv = 200.0f;
    float damping = 0.5f;

    bool writeProtected = false;
    // Requests still to be answered with "busy".
    unsigned busyCount = 0;

    uint8_t Byte10() const { return deviceId[1]; }
};

} // namespace hartsim
