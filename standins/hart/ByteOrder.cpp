// Big-endian floats for HART data (ByteOrder.h). The bits are copied, not converted, so NaN
// payloads and infinities travel unchanged; a host whose floats are not IEEE-754 is not served.
#include "ByteOrder.h"

#include <cstring>

namespace hartsim
{

void AppendFloatBE(std::vector<uint8_t>& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(bits >> shift));
}

float ReadFloatBE(const uint8_t* bytes)
{
    const uint32_t bits = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) |
                          (uint32_t{bytes[2]} << 8) | uint32_t{bytes[3]};
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace hartsim
