// Command 0, read unique identifier, in the HART 5 layout of 12 bytes: the expansion code, the
// manufacturer id and device type, the preambles the device wants, the revisions, the flags and the
// 3-byte device id. The fixed fields are constants of this simulated device; HART 6 and 7's
// extended fields (expanded device type, extended device status, configuration change counter)
// are left out.
#include "Commands.h"

namespace hartsim
{
namespace
{
constexpr uint8_t kExpansionCode = 254;
constexpr uint8_t kMinPreamblesFromMaster = 5;
constexpr uint8_t kUniversalRevision = 5;
constexpr uint8_t kDeviceRevision = 1;
constexpr uint8_t kSoftwareRevision = 3;
// Hardware revision 1 in the upper five bits, Bell 202 current signalling (0) in the lower three.
constexpr uint8_t kHardwareRevisionAndSignalling = 0x08;
constexpr uint8_t kFlags = 0;
} // namespace

Reply ReadIdentityCommand::Run(DeviceState& state, const std::vector<uint8_t>&) const
{
    Reply reply;
    reply.data = {kExpansionCode,
                  state.manufacturerId,
                  state.deviceType,
                  kMinPreamblesFromMaster,
                  kUniversalRevision,
                  kDeviceRevision,
                  kSoftwareRevision,
                  kHardwareRevisionAndSignalling,
                  kFlags,
                  state.deviceId[0],
                  state.deviceId[1],
                  state.deviceId[2]};
    return reply;
}

} // namespace hartsim
