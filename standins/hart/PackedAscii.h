// Packed ASCII, the six-bit text of HART tags and descriptors: four characters in three bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hartsim
{

// HART's packed ASCII: four 6-bit characters in three bytes, the characters 0x20 to 0x5F (blank,
// digits, upper-case letters and signs).

// True when every character of the text can be packed.
bool IsPackable(const std::string& text);

// Packs the text, padded with blanks (or cut) to chars characters (a multiple of 4).
std::vector<uint8_t> PackAscii(const std::string& text, std::size_t chars);

// Unpacks count bytes (a multiple of 3) into 4 / 3 as many characters; trailing blanks removed.
std::string UnpackAscii(const uint8_t* bytes, std::size_t count);

} // namespace hartsim
