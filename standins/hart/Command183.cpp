#include "ByteOrder.h"
#include "Commands.h"

namespace hartsim
{

Reply ReadPvCommand::Run(DeviceState& state, const std::vector<uint8_t>&) const
{
    Reply reply;
    AppendFloatBE(reply.data, state.pressure);
    return reply;
}

} // namespace hartsim
