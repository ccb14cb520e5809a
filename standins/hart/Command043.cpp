// Command 43, set PV zero: the present pressure becomes the zero point and the pressure reads 0,
// refused while write-protected or when the pressure lies outside plus or minus 5 % of the sensor
// span. It keeps no history and does not change the range values, as a real transmitter's trim
// might.
#include "Commands.h"
#include "ResponseCodes.h"

#include <cmath>

namespace hartsim
{

Reply SetPvZeroCommand::Run(DeviceState& state, const std::vector<uint8_t>&) const
{
    Reply reply;
    const float limit = kZeroLimitFraction * std::fabs(state.rangeHigh - state.rangeLow);
    if (state.writeProtected)
        reply.responseCode = rc::kWriteProtected;
    else if (state.pressure > limit)
        reply.responseCode = rc::kValueTooHigh;
    else if (state.pressure < -limit)
        reply.responseCode = rc::kValueTooLow;
    else
    {
        state.zero += state.pressure;
        state.pressure = 0.0f;
    }
    return reply;
}

} // namespace hartsim
