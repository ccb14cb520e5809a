// The transmitter behind the program's port, with the wire's timing and the line faults its
// controller asks for.
#pragma once

#include <Transmitter.h>
#include <WireModel.h>

#include <optional>
#include <string>
#include <vector>

namespace xmtrd
{

class Device
{
public:
    explicit Device(bool timedWire);

    // The answer frame to a request frame (both with preambles), or nothing: silence when the
    // request is not for this device or an answer is to be left out. A garbled answer is noise,
    // the answer with a wrong check byte, and more noise.
    std::vector<uint8_t> Answer(const std::vector<uint8_t>& request);
    const hartsim::WireModel& Wire() const { return wire_; }
    // The answers sent so far, garbled ones included.
    unsigned Answered() const { return answered_; }
    // The writes carried out so far: requests of a writing command that succeeded, whether or not
    // their answer went out.
    unsigned Written() const { return written_; }

    // One line from the controller: "set KEY VALUE", "garble N" (the next N answers),
    // "mute N" (no answer to the next N requests), "hart7 N" (from now on the device presents
    // itself as a HART 7 device at polling address N, 0 to 63, which a HART 5 device cannot
    // have). False with a reason for anything else.
    bool Control(const std::string& line, std::string* error);

private:
    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request);

    hartsim::Transmitter transmitter_;
    hartsim::WireModel wire_;
    unsigned garble_ = 0;
    unsigned mute_ = 0;
    unsigned answered_ = 0;
    unsigned written_ = 0;
    std::optional<uint8_t> hart7Poll_;
};

} // namespace xmtrd
