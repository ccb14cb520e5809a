// Command 223, the maker's read base data: one of three blocks chosen by the request byte, laid out
// as BaseDataLayout.h says. Every value comes from the device state as it is; the device does not
// compute the pressure or the temperature from a sensor model.
#include "BaseDataLayout.h"
#include "ByteOrder.h"
#include "Commands.h"
#include "ResponseCodes.h"

namespace hartsim
{

Reply ReadBaseDataCommand::Run(DeviceState& state, const std::vector<uint8_t>& request) const
{
    Reply reply;
    if (request.empty())
    {
        reply.responseCode = rc::kTooFewDataBytes;
        return reply;
    }
    const uint8_t block = request[0];
    std::vector<uint8_t>& data = reply.data;
    switch (block)
    {
    case basedata::kIdentityBlock:
        data = {block, state.pressType, state.manufacturer, state.unitCode};
        data.insert(data.end(), state.serial.begin(), state.serial.end());
        break;
    case basedata::kMeasurementBlock:
        data = {block};
        for (float value : {state.rangeHigh, state.rangeLow, state.pressure, state.temperature})
            AppendFloatBE(data, value);
        break;
    case basedata::kCalibrationBlock:
        data = {block};
        for (float value : {state.zero, state.factorK, state.factorB, state.calUp, state.calDown})
            AppendFloatBE(data, value);
        break;
    default:
        reply.responseCode = rc::kInvalidSelection;
    }
    return reply;
}

} // namespace hartsim
