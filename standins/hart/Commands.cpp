// The table from a command number to its handler (Commands.h). One handler object each, without
// state of its own: the device state is handed in on every call.
#include "Commands.h"

namespace hartsim
{
namespace
{
const ReadIdentityCommand kReadIdentity;
const ReadTagCommand kReadTag;
const ReadDeviceInfoCommand kReadDeviceInfo;
const SetPvZeroCommand kSetPvZero;
const WriteRangePointCommand kWriteRangePoint;
const ReadPvCommand kReadPv;
const WriteBaseDataCommand kWriteBaseData;
const ReadBaseDataCommand kReadBaseData;
} // namespace

const CommandHandler* FindCommand(uint8_t command)
{
    switch (command)
    {
    case 0:
        return &kReadIdentity;
    case 13:
        return &kReadTag;
    case 15:
        return &kReadDeviceInfo;
    case 43:
        return &kSetPvZero;
    case 182:
        return &kWriteRangePoint;
    case 183:
        return &kReadPv;
    case 222:
        return &kWriteBaseData;
    case 223:
        return &kReadBaseData;
    default:
        return nullptr;
    }
}

} // namespace hartsim
