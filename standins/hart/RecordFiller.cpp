// Files a successful answer's data into a device record (RecordFiller.h): per command a list of
// fields, each copied only when the answer carries it whole, floats turned from HART's big-endian
// order into the record's little-endian one. Error answers and other commands file nothing.
#include "RecordFiller.h"

#include "BaseDataLayout.h"
#include "DeviceState.h"

#include <algorithm>

namespace hartsim
{
namespace
{

constexpr std::size_t kFloatBytes = 4;

struct Field
{
    std::size_t answerOffset;
    std::size_t recordOffset;
    std::size_t width;
    // Big-endian float on the wire, little-endian in the record.
    bool isFloat;
};

constexpr Field kDeviceInfoFields[] = {
    {3, record::kUpperRangeValue, kFloatBytes, true},
    {7, record::kLowerRangeValue, kFloatBytes, true},
};

constexpr Field kIdentityBlockFields[] = {
    {basedata::kPressType, record::kPressType, 1, false},
    {basedata::kManufacturer, record::kManufacturer, 1, false},
    {basedata::kUnitCode, record::kUnitCode, 1, false},
    {basedata::kSerial, record::kSerial, kSerialLength, false},
};

constexpr Field kMeasurementBlockFields[] = {
    {basedata::kRangeHigh, record::kRangeHigh, kFloatBytes, true},
    {basedata::kRangeLow, record::kRangeLow, kFloatBytes, true},
    {basedata::kPressure, record::kPressure, kFloatBytes, true},
    {basedata::kTemperature, record::kTemperature, kFloatBytes, true},
};

constexpr Field kCalibrationBlockFields[] = {
    {basedata::kZero, record::kZero, kFloatBytes, true},
    {basedata::kFactorK, record::kFactorK, kFloatBytes, true},
    {basedata::kFactorB, record::kFactorB, kFloatBytes, true},
    {basedata::kCalUp, record::kCalUp, kFloatBytes, true},
    {basedata::kCalDown, record::kCalDown, kFloatBytes, true},
};

template <std::size_t N>
void FileFields(uint8_t* record, const Field (&fields)[N], const std::vector<uint8_t>& answer)
{
    for (const Field& field : fields)
    {
        if (field.answerOffset + field.width > answer.size())
            continue;
        const uint8_t* source = answer.data() + field.answerOffset;
        uint8_t* target = record + field.recordOffset;
        if (field.isFloat)
            std::reverse_copy(source, source + field.width, target);
        else
            std::copy_n(source, field.width, target);
    }
}

void FileBaseData(uint8_t* record, const std::vector<uint8_t>& request,
                  const std::vector<uint8_t>& answer)
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

} // namespace

void FillRecord(uint8_t* record, uint8_t command, const std::vector<uint8_t>& request,
                const std::vector<uint8_t>& answer)
{
    switch (command)
    {
    case 0:
        std::copy_n(answer.begin(), std::min(answer.size(), record::kIdentityBytes),
                    record + record::kIdentity);
        break;
    case 15:
        FileFields(record, kDeviceInfoFields, answer);
        break;
    case 223:
        FileBaseData(record, request, answer);
        break;
    default:
        break;
    }
}

} // namespace hartsim
