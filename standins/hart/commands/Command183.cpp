// Command 183, the maker's read present value: the pressure as four big-endian bytes (as many as
// the state's pvBytes: cut, or padded with zeros). No unit and no status of the value travel with
// it, and the service files nothing of it.
#include "ByteOrder.h"
#include "HartCommand.h"

namespace hartsim
{
namespace
{
class ReadPvCommand final : public HartCommand
{
public:
    constexpr ReadPvCommand() : HartCommand(183, "read present value") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>&) const override
    {
        Reply reply;
        AppendFloatBE(reply.data, state.pressure);
        reply.data.resize(state.pvBytes);
        return reply;
    }
    std::size_t ShortestAnswer(const std::vector<uint8_t>&) const override { return kFloatBytes; }
};

const ReadPvCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand183;
const HartCommand& kCommand183 = kCommand;

} // namespace hartsim
