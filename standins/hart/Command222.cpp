// Command 222, the maker's write base data: press type, serial number and manufacturer in one
// request of 11 bytes, each checked against the values the device knows. The serial number arrives
// zero-padded and is held blank-padded; no character set is checked, the bytes are kept as sent.
#include "Commands.h"
#include "ResponseCodes.h"

namespace hartsim
{
namespace
{
constexpr std::size_t kRequestBytes = 11;
constexpr std::size_t kSerialAt = 1;
constexpr std::size_t kManufacturerAt = 10;
} // namespace

Reply WriteBaseDataCommand::Run(DeviceState& state, const std::vector<uint8_t>& request) const
{
    Reply reply;
    if (request.size() < kRequestBytes)
        reply.responseCode = rc::kTooFewDataBytes;
    else if (state.writeProtected)
        reply.responseCode = rc::kWriteProtected;
    else if (request[0] > kMaxPressType || request[kManufacturerAt] > kMaxManufacturer)
        reply.responseCode = rc::kInvalidSelection;
    else
    {
        state.pressType = request[0];
        state.manufacturer = request[kManufacturerAt];
        // The wire pads the serial number with zeros, the device holds it padded with blanks: the
        // text ends at the first zero byte.
        bool ended = false;
        for (std::size_t i = 0; i < kSerialLength; ++i)
        {
            ended = ended || request[kSerialAt + i] == 0;
            state.serial[i] = ended ? ' ' : request[kSerialAt + i];
        }
    }
    return reply;
}

} // namespace hartsim
