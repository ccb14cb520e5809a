// Command 15, read device information: alarm selection, transfer function, range unit, upper and
// lower range values, damping, write protection and private label. Only the range values, the unit,
// the damping and the write protection come from the device state; the alarm selection (high), the
// transfer function (linear) and the private label are fixed.
#include "ByteOrder.h"
#include "Commands.h"

namespace hartsim
{
namespace
{
constexpr uint8_t kAlarmHigh = 0;
constexpr uint8_t kTransferLinear = 0;
constexpr uint8_t kPrivateLabel = 250;
} // namespace

Reply ReadDeviceInfoCommand::Run(DeviceState& state, const std::vector<uint8_t>&) const
{
    Reply reply;
    reply.data = {kAlarmHigh, kTransferLinear, state.unitCode};
    AppendFloatBE(reply.data, state.urv);
    AppendFloatBE(reply.data, state.lrv);
    AppendFloatBE(reply.data, state.damping);
    reply.data.push_back(state.writeProtected ? 1 : 0);
    reply.data.push_back(kPrivateLabel);
    return reply;
}

} // namespace hartsim
