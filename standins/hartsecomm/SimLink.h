// The in-process simulation: one simulated transmitter on a wire of its own.
#pragma once

#include <StandinSync.h>
#include "Link.h"

#include <Transmitter.h>

#include <atomic>

namespace hartsecomm
{

class SimLink final : public Link
{
public:
    // realWire says, at each exchange, whether it takes the time of 1200 bit/s.
    explicit SimLink(const std::atomic<bool>& realWire);

    // The transmitter answers at once; the wire's time is then waited out, and a worker that is
    // being stopped meanwhile gets no answer.
    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) override;

    hartsim::LongAddress Address();
    // The command-0 answer data, as the host's first poll gets it.
    std::vector<uint8_t> Identity();
    // The answer data of a reading command to the request as the device's present state gives
    // them, without an exchange: no busy answer is counted down, no status bit taken and no queued
    // line fault met.
    std::vector<uint8_t> Read(uint8_t command, const std::vector<uint8_t>& request = {});
    uint8_t PollingAddress();
    bool SetVariable(const std::string& key, const std::string& value, std::string* error);

private:
    StandinLock lock_;
    hartsim::Transmitter transmitter_;
    const std::atomic<bool>& realWire_;
};

} // namespace hartsecomm
