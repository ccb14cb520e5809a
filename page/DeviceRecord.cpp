// The device record's defined starting state.
#include "DeviceRecord.h"

#include <string.h>

namespace
{
// Byte 2429 of the service's format starts as 0xFF.
const size_t kFlagOffset = 2429 - offsetof(DeviceRecord, byServiceTail);
} // namespace

DeviceRecord::DeviceRecord()
{
    memset(this, 0, sizeof(*this));
    for (SensorCoefficients& block : coefficients)
    {
        block.fA = 3.9083e-3f;
        block.fB = -5.775e-7f;
        block.fC = -4.183e-12f;
    }
    byServiceTail[kFlagOffset] = 0xFF;
}
