// Command 222, the maker's write base data: [0] press type (0..3), [1..9] serial number, padded
// with zeros, [10] manufacturer (0..1), in one request of 11 bytes, each checked against the
// values the device knows (2 when one is out of them). The serial number is held blank-padded;
// no character set is checked, the bytes are kept as sent.
#include "HartCommand.h"
#include "ResponseCodes.h"

namespace hartsim
{
namespace
{
constexpr uint8_t kMaxPressType = 3;
constexpr uint8_t kMaxManufacturer = 1;
constexpr std::size_t kSerialAt = 1;
constexpr std::size_t kManufacturerAt = kSerialAt + kSerialLength;
constexpr std::size_t kRequestBytes = kManufacturerAt + 1;

class WriteBaseDataCommand final : public HartCommand
{
public:
    constexpr WriteBaseDataCommand() : HartCommand(222, "write base data") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override
    {
        Reply reply;
        if (request.size() < kRequestBytes)
            reply.responseCode = rc::kTooFewDataBytes;
        else if (state.writeProtected)
            reply.responseCode = rc::kWriteProtected;
        else if (request[0] > kMaxPressType || request[kManufacturerAt] > kMaxManufacturer)
            reply.responseCode = rc::kInvalidSelection;
        else
        {
            state.pressType = request[0];
            state.manufacturer = request[kManufacturerAt];
            // The wire pads the serial number with zeros, the device holds it padded with blanks:
            // the text ends at the first zero byte.
            bool ended = false;
            for (std::size_t i = 0; i < kSerialLength; ++i)
            {
                ended = ended || request[kSerialAt + i] == 0;
                state.serial[i] = ended ? ' ' : request[kSerialAt + i];
            }
        }
        return reply;
    }
    bool Writes() const override { return true; }
    std::size_t RequestBytes() const override { return kRequestBytes; }
    std::vector<CodeMeaning> Meanings() const override
    {
        return {{rc::kInvalidSelection, "invalid press type or manufacturer"}};
    }
    std::vector<RequestField> AuditedRequest() const override
    {
        return {{RequestField::Byte, "press_type", 0, 1},
                {RequestField::Text, "serial", kSerialAt, kSerialLength},
                {RequestField::Byte, "manufacturer", kManufacturerAt, 1}};
    }
    std::vector<const char*> ChangedFields(const std::vector<uint8_t>&) const override
    {
        return {"press_type", "serial", "manufacturer"};
    }
};

const WriteBaseDataCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand222;
const HartCommand& kCommand222 = kCommand;

} // namespace hartsim
