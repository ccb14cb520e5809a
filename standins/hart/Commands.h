// The HART commands the simulated pressure transmitter answers: the universal command 0, the
// common-practice commands 15 and 43, and the maker's own 182, 183, 222 and 223, the set the page
// sends (with 0 for the device search on a real link). Each handler checks its request, changes the
// device state only when it succeeds and gives a response code and data; framing, device status and
// the busy counter are the transmitter's (Transmitter.cpp). Every other command is answered "not
// implemented" (64); no burst mode, no delayed responses of its own.
#pragma once

#include "DeviceState.h"

#include <cstdint>
#include <vector>

namespace hartsim
{

// What a command handler hands back: the response code and the answer data. The transmitter adds
// the device status. Refused commands carry no data.
struct Reply
{
    uint8_t responseCode = 0;
    uint8_t deviceStatus = 0;
    std::vector<uint8_t> data;
};

// One HART command of the simulated transmitter. A handler changes the state only when it succeeds.
class CommandHandler
{
public:
    virtual ~CommandHandler() = default;
    virtual Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const = 0;
    // True for commands that change the configuration when they succeed.
    virtual bool Writes() const { return false; }
};

// The handler for a command number, or null when the transmitter does not implement it.
const CommandHandler* FindCommand(uint8_t command);

// 0: read unique identifier, HART 5 layout (12 bytes).
class ReadIdentityCommand final : public CommandHandler
{
public:
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
};

// 13: read tag (8 characters), descriptor (16) in packed ASCII and date (3 bytes): 21 bytes.
class ReadTagCommand final : public CommandHandler
{
public:
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
};

// 15: read device information: alarm selection, transfer function, range unit, URV, LRV, damping,
// write protection and private label (17 bytes).
class ReadDeviceInfoCommand final : public CommandHandler
{
public:
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
};

// 43: set PV zero. The present pressure is taken into zero and the pressure reads 0. Refused with
// 9 / 10 when the pressure lies above / below plus or minus kZeroLimitFraction of the sensor span
// (range high - range low).
class SetPvZeroCommand final : public CommandHandler
{
public:
    static constexpr float kZeroLimitFraction = 0.05f;
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
    bool Writes() const override { return true; }
};

// 182: write a range point: [0] the point byte, [1..4] value. The value must lie within the
// sensor range: 9 above range high, 10 below range low. The point byte is the page's point code
// less one: the page codes the low limit 1 and the up limit 2.
class WriteRangePointCommand final : public CommandHandler
{
public:
    static constexpr uint8_t kPointLowByte = 0;
    static constexpr uint8_t kPointUpByte = 1;
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
    bool Writes() const override { return true; }
};

// 183: read the present value (PV), 4 bytes.
class ReadPvCommand final : public CommandHandler
{
public:
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
};

// 222: write press type, serial number and manufacturer: [0] press type (0..3), [1..9] serial,
// padded with zeros, [10] manufacturer (0..1).
class WriteBaseDataCommand final : public CommandHandler
{
public:
    static constexpr uint8_t kMaxPressType = 3;
    static constexpr uint8_t kMaxManufacturer = 1;
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
    bool Writes() const override { return true; }
};

// 223: read base data, one of three blocks chosen by the request byte (layout in BaseDataLayout.h).
class ReadBaseDataCommand final : public CommandHandler
{
public:
    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override;
};

} // namespace hartsim
