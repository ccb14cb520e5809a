// The device record's field names.
#include "RecordFields.h"

#include "RecordFiller.h"

#include <cstdlib>

namespace hartsim
{

const RecordField kRecordFields[] = {
    {"identity", record::kIdentity, record::kIdentityBytes},
    {"manufacturer_id", record::kManufacturerId, 1},
    {"device_type", record::kDeviceType, 1},
    {"device_id", record::kDeviceId, record::kDeviceIdBytes},
    {"lower_range_value", record::kLowerRangeValue, 4},
    {"upper_range_value", record::kUpperRangeValue, 4},
    {"press_type", record::kPressType, 1},
    {"manufacturer", record::kManufacturer, 1},
    {"unit_code", record::kUnitCode, 1},
    {"serial", record::kSerial, record::kSerialBytes},
    {"range_high", record::kRangeHigh, 4},
    {"range_low", record::kRangeLow, 4},
    {"pressure", record::kPressure, 4},
    {"temperature", record::kTemperature, 4},
    {"zero", record::kZero, 4},
    {"factor_k", record::kFactorK, 4},
    {"factor_b", record::kFactorB, 4},
    {"cal_up", record::kCalUp, 4},
    {"cal_down", record::kCalDown, 4},
};
const std::size_t kRecordFieldCount = sizeof(kRecordFields) / sizeof(kRecordFields[0]);

bool RecordFieldOffset(const std::string& text, std::size_t* offset, std::string* error)
{
    std::size_t plus = text.find('+');
    std::string name = text.substr(0, plus);
    for (const RecordField& field : kRecordFields)
    {
        if (name != field.name)
            continue;
        std::size_t byte = 0;
        if (plus != std::string::npos)
        {
            std::string number = text.substr(plus + 1);
            char* end = nullptr;
            unsigned long value = std::strtoul(number.c_str(), &end, 10);
            if (number.empty() || number[0] == '-' || *end != '\0' || value >= field.width)
            {
                *error = "the field " + name + " has no byte '" + number + "'";
                return false;
            }
            byte = value;
        }
        *offset = field.offset + byte;
        return true;
    }
    *error = "unknown field '" + name + "'";
    return false;
}

} // namespace hartsim
