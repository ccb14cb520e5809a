// Command 43, set PV zero: the present pressure becomes the zero point and the pressure reads 0,
// refused while write-protected (7) or when the pressure lies above (9) or below (10) plus or
// minus 5 % of the sensor span (range high - range low). It keeps no history and does not change
// the range values, as a real transmitter's trim might.
#include "HartCommand.h"
#include "ResponseCodes.h"

#include <cmath>

namespace hartsim
{
namespace
{
constexpr float kZeroLimitFraction = 0.05f;

class SetPvZeroCommand final : public HartCommand
{
public:
    constexpr SetPvZeroCommand() : HartCommand(43, "set PV zero") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>&) const override
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
    bool Writes() const override { return true; }
    std::vector<CodeMeaning> Meanings() const override
    {
        return {{rc::kValueTooHigh, "applied process too high for a zero"},
                {rc::kValueTooLow, "applied process too low for a zero"}};
    }
    std::vector<const char*> ChangedFields(const std::vector<uint8_t>&) const override
    {
        return {"pressure", "zero"};
    }
};

const SetPvZeroCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand043;
const HartCommand& kCommand043 = kCommand;

} // namespace hartsim
