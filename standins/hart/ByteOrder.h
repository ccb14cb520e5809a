#pragma once

#include <cstdint>
#include <vector>

namespace hartsim
{

// HART data carries floats as IEEE-754 single precision, most significant byte first.
void AppendFloatBE(std::vector<uint8_t>& out, float value);
float ReadFloatBE(const uint8_t* bytes);

} // namespace hartsim
