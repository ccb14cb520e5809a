// How many data bytes a successful answer must carry: commands 0, 15 and 183 by their layout,
// command 223 by the base-data block it was asked for; other commands by none.
#include "AnswerLength.h"

#include "BaseDataLayout.h"
#include "DeviceState.h"

namespace hartsim
{
namespace
{
constexpr std::size_t kFloatBytes = 4;
constexpr std::size_t kIdentityBytes = 12;
constexpr std::size_t kDeviceInfoBytes = 17;
constexpr std::size_t kPvBytes = kFloatBytes;

std::size_t BaseDataBytes(uint8_t block)
{
    switch (block)
    {
    case basedata::kIdentityBlock:
        return basedata::kSerial + kSerialLength;
    case basedata::kMeasurementBlock:
        return basedata::kTemperature + kFloatBytes;
    case basedata::kCalibrationBlock:
        return basedata::kCalDown + kFloatBytes;
    default:
        return 1;
    }
}
} // namespace

bool AnswerIsWhole(uint8_t command, const std::vector<uint8_t>& request,
                   const std::vector<uint8_t>& data)
{
    switch (command)
    {
    case 0:
        return data.size() >= kIdentityBytes;
    case 15:
        return data.size() >= kDeviceInfoBytes;
    case 183:
        return data.size() >= kPvBytes;
    case 223:
        return !request.empty() && !data.empty() && data[0] == request[0] &&
               data.size() >= BaseDataBytes(request[0]);
    default:
        return true;
    }
}

} // namespace hartsim
