// Command 183, the maker's read present value: the pressure as four big-endian bytes. No unit and
// no status of the value travel with it.
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
