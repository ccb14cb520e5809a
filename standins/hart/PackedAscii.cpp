// Packs and unpacks HART's six-bit ASCII (PackedAscii.h).
#include "PackedAscii.h"

namespace hartsim
{
namespace
{
constexpr uint8_t kSixBits = 0x3F;
constexpr char kFirstPackable = 0x20;
constexpr char kLastPackable = 0x5F;
} // namespace

bool IsPackable(const std::string& text)
{
    for (char c : text)
    {
        if (c < kFirstPackable || c > kLastPackable)
            return false;
    }
    return true;
}

std::vector<uint8_t> PackAscii(const std::string& text, std::size_t chars)
{
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i + 4 <= chars; i += 4)
    {
        uint8_t v[4];
        for (std::size_t k = 0; k < 4; ++k)
            v[k] = static_cast<uint8_t>((i + k < text.size() ? text[i + k] : ' ') & kSixBits);
        bytes.push_back(static_cast<uint8_t>(v[0] << 2 | v[1] >> 4));
        bytes.push_back(static_cast<uint8_t>((v[1] & 0x0F) << 4 | v[2] >> 2));
        bytes.push_back(static_cast<uint8_t>((v[2] & 0x03) << 6 | v[3]));
    }
    return bytes;
}

// A 6-bit code below 0x20 stands for 0x40 to 0x5F, the others for themselves.
std::string UnpackAscii(const uint8_t* bytes, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i + 3 <= count; i += 3)
    {
        const uint8_t v[4] = {static_cast<uint8_t>(bytes[i] >> 2),
                              static_cast<uint8_t>((bytes[i] & 0x03) << 4 | bytes[i + 1] >> 4),
                              static_cast<uint8_t>((bytes[i + 1] & 0x0F) << 2 | bytes[i + 2] >> 6),
                              static_cast<uint8_t>(bytes[i + 2] & kSixBits)};
        for (uint8_t c : v)
            text += static_cast<char>(c < 0x20 ? c | 0x40 : c);
    }
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

} // namespace hartsim
