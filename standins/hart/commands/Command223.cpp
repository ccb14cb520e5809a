// Command 223, the maker's read base data: one of three blocks chosen by the request byte, laid out
// as BaseDataLayout.h says, each starting with its block number. Every value comes from the device
// state as it is; the device does not compute the pressure or the temperature from a sensor
// model. The service files each block's fields in the record, and the calibration record takes a
// block read whole as the base data found or left.
#include "BaseDataLayout.h"
#include "ByteOrder.h"
#include "HartCommand.h"
#include "RecordFiller.h"
#include "ResponseCodes.h"

namespace hartsim
{
namespace
{
constexpr FiledField kIdentityBlockFields[] = {
    {basedata::kPressType, record::kPressType, 1, false},
    {basedata::kManufacturer, record::kManufacturer, 1, false},
    {basedata::kUnitCode, record::kUnitCode, 1, false},
    {basedata::kSerial, record::kSerial, kSerialLength, false},
};

constexpr FiledField kMeasurementBlockFields[] = {
    {basedata::kRangeHigh, record::kRangeHigh, kFloatBytes, true},
    {basedata::kRangeLow, record::kRangeLow, kFloatBytes, true},
    {basedata::kPressure, record::kPressure, kFloatBytes, true},
    {basedata::kTemperature, record::kTemperature, kFloatBytes, true},
};

constexpr FiledField kCalibrationBlockFields[] = {
    {basedata::kZero, record::kZero, kFloatBytes, true},
    {basedata::kFactorK, record::kFactorK, kFloatBytes, true},
    {basedata::kFactorB, record::kFactorB, kFloatBytes, true},
    {basedata::kCalUp, record::kCalUp, kFloatBytes, true},
    {basedata::kCalDown, record::kCalDown, kFloatBytes, true},
};

class ReadBaseDataCommand final : public HartCommand
{
public:
    constexpr ReadBaseDataCommand() : HartCommand(223, "read base data") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const override
    {
        Reply reply;
        if (request.empty())
        {
            reply.responseCode = rc::kTooFewDataBytes;
            return reply;
        }
        const uint8_t block = request[0];
        std::vector<uint8_t>& data = reply.data;
        switch (block)
        {
        case basedata::kIdentityBlock:
            data = {block, state.pressType, state.manufacturer, state.unitCode};
            data.insert(data.end(), state.serial.begin(), state.serial.end());
            break;
        case basedata::kMeasurementBlock:
            data = {block};
            for (float value : {state.rangeHigh, state.rangeLow, state.pressure, state.temperature})
                AppendFloatBE(data, value);
            break;
        case basedata::kCalibrationBlock:
            data = {block};
            for (float value :
                 {state.zero, state.factorK, state.factorB, state.calUp, state.calDown})
                AppendFloatBE(data, value);
            break;
        default:
            reply.responseCode = rc::kInvalidSelection;
        }
        return reply;
    }
    std::size_t RequestBytes() const override { return 1; }
    std::string RequestFault(const std::vector<uint8_t>& request) const override
    {
        return BaseDataBlock(request) >= 0 ? "" : Title() + " with a request other than 0-2";
    }
    std::size_t ShortestAnswer(const std::vector<uint8_t>& request) const override
    {
        switch (request.empty() ? -1 : request[0])
        {
        case basedata::kIdentityBlock:
            return basedata::kSerial + kSerialLength;
        case basedata::kMeasurementBlock:
            return basedata::kTemperature + kFloatBytes;
        case basedata::kCalibrationBlock:
            return basedata::kCalDown + kFloatBytes;
        default:
            return 1;
        }
    }
    // An answer of another block than the one requested is not the answer, however long.
    bool AnswerIsWhole(const std::vector<uint8_t>& request,
                       const std::vector<uint8_t>& data) const override
    {
        return !request.empty() && !data.empty() && data[0] == request[0] &&
               data.size() >= ShortestAnswer(request);
    }
    void File(uint8_t* record, const std::vector<uint8_t>& request,
              const std::vector<uint8_t>& answer) const override
    {
        if (request.empty() || answer.empty() || answer[0] != request[0])
            return;
        switch (request[0])
        {
        case basedata::kIdentityBlock:
            FileFields(record, kIdentityBlockFields, answer);
            break;
        case basedata::kMeasurementBlock:
            FileFields(record, kMeasurementBlockFields, answer);
            break;
        case basedata::kCalibrationBlock:
            FileFields(record, kCalibrationBlockFields, answer);
            break;
        default:
            break;
        }
    }
    int BaseDataBlock(const std::vector<uint8_t>& request) const override
    {
        return request.size() == 1 && request[0] <= basedata::kCalibrationBlock ? request[0] : -1;
    }
};

const ReadBaseDataCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand223;
const HartCommand& kCommand223 = kCommand;

} // namespace hartsim
