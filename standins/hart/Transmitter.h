// The simulated HART pressure transmitter: its state, its commands and the device side of the wire.
// It answers one frame at a time, in no time; the wire's timing (WireModel.h) and the line's faults
// (WireFault.h) are added by whoever carries the frames.
#pragma once

#include "HartCommand.h"
#include "DeviceState.h"
#include "HartFrame.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hartsim
{

// The simulated HART pressure transmitter.
//
// Device status: the first answer after construction carries "cold start" (0x20); every answer
// after a successful write (commands 43, 182, 222) carries "configuration changed" (0x40), which
// stays set because the transmitter does not implement its reset (command 38). Changes made
// through SetVariable stand for the process and the bench, not for a write over HART, and set no
// status bit.
class Transmitter
{
public:
    // Answers one command. While the busy counter runs, answers 32 and counts it down; unknown
    // commands get 64. Refused commands carry no data.
    Reply Handle(uint8_t command, const std::vector<uint8_t>& request);

    // The device side of the wire: decodes a request frame and returns the answer frame. Returns
    // nothing (silence, the master times out) for a frame that is not a valid request to this
    // device. A short frame is answered only for command 0 at the device's polling address.
    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& requestFrame);

    // Sets one variable by name from decimal text, for the script host. Returns false and leaves
    // the state unchanged on an unknown key or a bad value; *error (when given) then says why.
    bool SetVariable(const std::string& key, const std::string& text, std::string* error);

    const DeviceState& State() const { return state_; }
    LongAddress Address() const;

private:
    uint8_t TakeDeviceStatus();
    std::vector<uint8_t> AnswerShortFrame(const std::vector<uint8_t>& requestFrame);

    DeviceState state_;
    bool coldStart_ = true;
    bool configurationChanged_ = false;
};

} // namespace hartsim
