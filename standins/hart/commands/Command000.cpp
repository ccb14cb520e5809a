// Command 0, read unique identifier, in the HART 5 layout of 12 bytes: the expansion code, the
// manufacturer id and device type, the preambles the device wants, the revisions, the flags and the
// 3-byte device id. The fixed fields are constants of this simulated device; HART 6 and 7's
// extended fields (expanded device type, extended device status, configuration change counter)
// are left out. The service sends it only in its device search; the whole answer is filed as the
// record's identity.
#include "HartCommand.h"
#include "RecordFiller.h"

#include <algorithm>

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

class ReadIdentityCommand final : public HartCommand
{
public:
    constexpr ReadIdentityCommand() : HartCommand(0, "read unique identifier") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>&) const override
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
    bool PageSends() const override { return false; }
    std::size_t ShortestAnswer(const std::vector<uint8_t>&) const override
    {
        return record::kIdentityBytes;
    }
    void File(uint8_t* record, const std::vector<uint8_t>&,
              const std::vector<uint8_t>& answer) const override
    {
        std::copy_n(answer.begin(), std::min(answer.size(), record::kIdentityBytes),
                    record + record::kIdentity);
    }
};

const ReadIdentityCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand000;
const HartCommand& kCommand000 = kCommand;

} // namespace hartsim
