// The byte order of HART data for the simulated transmitter and the record filler: floats travel
// as IEEE-754 single precision, most significant byte first. Only floats are covered; the few
// multi-byte integers of the frames are put together where they are used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hartsim
{

constexpr std::size_t kFloatBytes = 4;

// HART data carries floats as IEEE-754 single precision, most significant byte first.
void AppendFloatBE(std::vector<uint8_t>& out, float value);
float ReadFloatBE(const uint8_t* bytes);

} // namespace hartsim
