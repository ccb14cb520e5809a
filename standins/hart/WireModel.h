// How long an exchange takes on a 1200 bit/s HART line, or no time at all for fast tests. It
// computes durations only; the service waits them out. Gaps between characters and the master's
// bus arbitration are not modelled.
#pragma once

#include <chrono>
#include <cstddef>

namespace hartsim
{

// How long exchanges take on the wire. It only computes durations; the caller does the waiting.
//
// The timed model runs at 1200 bit/s with 11 bits a character (start, 8 data, odd parity, stop),
// 9.167 ms a character. Between the request's last character and the answer's first the slave takes
// kSlaveTurnaround, well inside the 28-character (257 ms) slave time-out. When no answer comes, the
// primary master waits its 33-character (302.5 ms) retry timer after the request.
class WireModel
{
public:
    static constexpr long kBitsPerSecond = 1200;
    static constexpr long kBitsPerCharacter = 11;
    static constexpr std::chrono::microseconds kSlaveTurnaround{50000};
    static constexpr long kMasterTimeoutCharacters = 33;

    // Real line timing.
    static WireModel Timed() { return WireModel(true); }
    // No delay at all, for fast tests.
    static WireModel Fast() { return WireModel(false); }

    std::chrono::microseconds CharacterTime() const;
    // Request out, slave turnaround, answer back; lengths are whole frames with preambles.
    std::chrono::microseconds Exchange(std::size_t requestBytes, std::size_t answerBytes) const;
    // Request out, then the master's wait for an answer that does not come.
    std::chrono::microseconds NoAnswer(std::size_t requestBytes) const;

private:
    explicit WireModel(bool timed) : timed_(timed) {}
    std::chrono::microseconds Characters(std::size_t count) const;

    bool timed_;
};

} // namespace hartsim
