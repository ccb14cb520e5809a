// Command 13 of the simulated transmitter: read tag, descriptor and date, in packed ASCII.
#include "Commands.h"
#include "PackedAscii.h"

namespace hartsim
{
namespace
{
constexpr std::size_t kTagChars = 8;
constexpr std::size_t kDescriptorChars = 16;
const char kDescriptor[] = "PRESSURE XMTR";
// Day, month, year - 1900.
constexpr uint8_t kDate[] = {1, 3, 124};
} // namespace

Reply ReadTagCommand::Run(DeviceState& state, const std::vector<uint8_t>&) const
{
    Reply reply;
    reply.data = PackAscii(state.tag, kTagChars);
    const std::vector<uint8_t> descriptor = PackAscii(kDescriptor, kDescriptorChars);
    reply.data.insert(reply.data.end(), descriptor.begin(), descriptor.end());
    reply.data.insert(reply.data.end(), std::begin(kDate), std::end(kDate));
    return reply;
}

} // namespace hartsim
