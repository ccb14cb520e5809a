// Command 182, the maker's write range point: the point byte (kPointLowByte 0 the low limit,
// kPointUpByte 1 the up limit; the page's point codes 1 and 2 less one) and the value, which
// becomes the lower or upper range value when it lies within the sensor range. Nothing else of the
// device moves with the range (no re-ranging of the output, no trim).
#include "ByteOrder.h"
#include "Commands.h"
#include "ResponseCodes.h"

#include <cmath>

namespace hartsim
{
namespace
{
constexpr std::size_t kRequestBytes = 5;
} // namespace

Reply WriteRangePointCommand::Run(DeviceState& state, const std::vector<uint8_t>& request) const
{
    Reply reply;
    if (request.size() < kRequestBytes)
    {
        reply.responseCode = rc::kTooFewDataBytes;
        return reply;
    }
    const uint8_t point = request[0];
    const float value = ReadFloatBE(&request[1]);
    if (state.writeProtected)
        reply.responseCode = rc::kWriteProtected;
    else if ((point != kPointLowByte && point != kPointUpByte) || std::isnan(value))
        reply.responseCode = rc::kInvalidSelection;
    else if (value > state.rangeHigh)
        reply.responseCode = rc::kValueTooHigh;
    else if (value < state.rangeLow)
        reply.responseCode = rc::kValueTooLow;
    else if (point == kPointLowByte)
        state.lrv = value;
    else
        state.urv = value;
    return reply;
}

} // namespace hartsim
