// Command 182, the maker's write range point: [0] the point byte (0 the low limit, 1 the up limit;
// the page's point codes 1 and 2 less one), [1..4] the value, which becomes the lower or upper
// range value when it lies within the sensor range: 9 above range high, 10 below range low.
// Nothing else of the device moves with the range (no re-ranging of the output, no trim).
#include "ByteOrder.h"
#include "HartCommand.h"
#include "ResponseCodes.h"

#include <cmath>

namespace hartsim
{
namespace
{
constexpr uint8_t kPointLowByte = 0;
constexpr uint8_t kPointUpByte = 1;
constexpr std::size_t kValueAt = 1;
constexpr std::size_t kRequestBytes = kValueAt + kFloatBytes;

class WriteRangePointCommand final : public HartCommand
{
public:
    constexpr WriteRangePointCommand() : HartCommand(182, "write range point") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override
    {
        Reply reply;
        if (request.size() < kRequestBytes)
        {
            reply.responseCode = rc::kTooFewDataBytes;
            return reply;
        }
        const uint8_t point = request[0];
        const float value = ReadFloatBE(&request[kValueAt]);
        if (state.writeProtected)
            reply.responseCode = rc::kWriteProtected;
        else if ((point != kPointLowByte && point != kPointUpByte) || std::isnan(value))
            reply.responseCode = rc::kInvalidSelection;
        else if (value > state.rangeHigh)
            reply.responseCode = rc::kValueTooHigh;
        else if (value < state.rangeLow)
            reply.responseCode = rc::kValueTooLow;
        else if (point == kPointLowByte)
            state.lrv = value;
        else
            state.urv = value;
        return reply;
    }
    bool Writes() const override { return true; }
    std::size_t RequestBytes() const override { return kRequestBytes; }
    std::string RequestFault(const std::vector<uint8_t>& request) const override
    {
        std::string fault = HartCommand::RequestFault(request);
        if (fault.empty() && !std::isfinite(ReadFloatBE(&request[kValueAt])))
            fault = Title() + " with a non-finite value";
        return fault;
    }
    std::vector<CodeMeaning> Meanings() const override
    {
        return {{rc::kInvalidSelection, "invalid range point or value"},
                {rc::kValueTooHigh, "range value above the sensor's range high"},
                {rc::kValueTooLow, "range value below the sensor's range low"}};
    }
    std::vector<RequestField> AuditedRequest() const override
    {
        return {{RequestField::RangePoint, "point", 0, 1},
                {RequestField::Float, "value", kValueAt, kFloatBytes}};
    }
    // The lower or the upper range value; both for a point the device does not know.
    std::vector<const char*> ChangedFields(const std::vector<uint8_t>& request) const override
    {
        if (!request.empty() && request[0] == kPointLowByte)
            return {"lrv"};
        if (!request.empty() && request[0] == kPointUpByte)
            return {"urv"};
        return {"lrv", "urv"};
    }
};

const WriteRangePointCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand182;
const HartCommand& kCommand182 = kCommand;

} // namespace hartsim
