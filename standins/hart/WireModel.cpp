// The durations of the wire model (WireModel.h), from frame lengths in characters of 11 bits.
#include "WireModel.h"

namespace hartsim
{

std::chrono::microseconds WireModel::CharacterTime() const
{
    return Characters(1);
}

std::chrono::microseconds WireModel::Exchange(std::size_t requestBytes,
                                              std::size_t answerBytes) const
{
    if (!timed_)
        return std::chrono::microseconds::zero();
    return Characters(requestBytes + answerBytes) + kSlaveTurnaround;
}

std::chrono::microseconds WireModel::NoAnswer(std::size_t requestBytes) const
{
    return Characters(requestBytes + kMasterTimeoutCharacters);
}

// Rounded to the nearest microsecond over the whole count, so that long frames gather no error.
std::chrono::microseconds WireModel::Characters(std::size_t count) const
{
    if (!timed_)
        return std::chrono::microseconds::zero();
    const long long bitTimes = static_cast<long long>(count) * kBitsPerCharacter * 1000000;
    return std::chrono::microseconds((bitTimes + kBitsPerSecond / 2) / kBitsPerSecond);
}

} // namespace hartsim
