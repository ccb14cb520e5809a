// Command 15, read device information: alarm selection, transfer function, range unit, upper and
// lower range values, damping, write protection and private label (17 bytes). Only the range
// values, the unit, the damping and the write protection come from the device state; the alarm
// selection (high), the transfer function (linear) and the private label are fixed. The service
// files the range values in the record and the write-protect code in the device's identity, which
// it also reads of every device it finds.
#include "ByteOrder.h"
#include "HartCommand.h"
#include "RecordFiller.h"

namespace hartsim
{
namespace
{
constexpr uint8_t kAlarmHigh = 0;
constexpr uint8_t kTransferLinear = 0;
constexpr uint8_t kPrivateLabel = 250;
constexpr std::size_t kAnswerBytes = 17;
// 0 not protected, 1 protected, 251 none.
constexpr std::size_t kWriteProtectAt = 15;

constexpr FiledField kFields[] = {
    {3, record::kUpperRangeValue, kFloatBytes, true},
    {7, record::kLowerRangeValue, kFloatBytes, true},
};

class ReadDeviceInfoCommand final : public HartCommand
{
public:
    constexpr ReadDeviceInfoCommand() : HartCommand(15, "read device information") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>&) const override
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
    std::size_t ShortestAnswer(const std::vector<uint8_t>&) const override { return kAnswerBytes; }
    void File(uint8_t* record, const std::vector<uint8_t>&,
              const std::vector<uint8_t>& answer) const override
    {
        FileFields(record, kFields, answer);
    }
    bool ReadWhenFound() const override { return true; }
    void NoteIdentity(const std::vector<uint8_t>& answer, DeviceNotes* notes) const override
    {
        if (answer.size() > kWriteProtectAt)
            notes->writeProtect = answer[kWriteProtectAt];
    }
};

const ReadDeviceInfoCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand015;
const HartCommand& kCommand015 = kCommand;

} // namespace hartsim
