// Where the communication service files the answers it receives in its 2508-byte record of a
// device, and the filler that does it: each command's file (commands/) says which of its answer's
// fields go where. Only the fields the page reads are filed; the rest of the record belongs to the
// service and stays as it is.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hartsim
{

constexpr std::size_t kDeviceRecordSize = 2508;

// Where the device record holds the values this library files. Floats are IEEE-754 single
// precision in little-endian order.
namespace record
{
constexpr std::size_t kIdentity = 0; // the 12 data bytes of the command 0 answer
constexpr std::size_t kIdentityBytes = 12;
constexpr std::size_t kManufacturerId = kIdentity + 1;
constexpr std::size_t kDeviceType = kIdentity + 2;
constexpr std::size_t kDeviceId = kIdentity + 9;
constexpr std::size_t kDeviceIdBytes = 3;
constexpr std::size_t kLowerRangeValue = 176;
constexpr std::size_t kUpperRangeValue = 180;
constexpr std::size_t kPressType = 2308;
constexpr std::size_t kManufacturer = 2309;
constexpr std::size_t kUnitCode = 2310;
constexpr std::size_t kSerial = 2311; // blank padded, not terminated
constexpr std::size_t kSerialBytes = 9;
constexpr std::size_t kRangeHigh = 2320;
constexpr std::size_t kRangeLow = 2324;
constexpr std::size_t kPressure = 2328;
constexpr std::size_t kTemperature = 2332;
constexpr std::size_t kZero = 2336;
constexpr std::size_t kFactorK = 2340;
constexpr std::size_t kFactorB = 2344;
constexpr std::size_t kCalUp = 2348;
constexpr std::size_t kCalDown = 2352;
} // namespace record

// One field an answer files in the record.
struct FiledField
{
    std::size_t answerOffset;
    std::size_t recordOffset;
    std::size_t width;
    // Big-endian float on the wire, little-endian in the record.
    bool isFloat;
};

// Copies each field the answer carries whole into the record.
template <std::size_t N>
void FileFields(uint8_t* record, const FiledField (&fields)[N], const std::vector<uint8_t>& answer)
{
    for (const FiledField& field : fields)
    {
        if (field.answerOffset + field.width > answer.size())
            continue;
        const uint8_t* source = answer.data() + field.answerOffset;
        uint8_t* target = record + field.recordOffset;
        if (field.isFloat)
            std::reverse_copy(source, source + field.width, target);
        else
            std::copy_n(source, field.width, target);
    }
}

// Files the data of a successful answer into a device record of kDeviceRecordSize bytes as the
// command's catalogue entry says (HartCommand::File); commands the catalogue does not know file
// nothing.
void FillRecord(uint8_t* record, uint8_t command, const std::vector<uint8_t>& request,
                const std::vector<uint8_t>& answer);

} // namespace hartsim
