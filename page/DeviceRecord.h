// DeviceRecord: the communication service's 2508-byte record of one device, as the page reads it.
// Multi-byte values are in the host's order (little-endian, IEEE single floats); the service
// converts them from the big-endian order of HART data before it files them.
#pragma once

#include <windows.h>
#include <stddef.h>

#pragma pack(push, 1)

// Callendar-Van Dusen coefficients of a platinum resistance sensor, followed by bytes that belong
// to the service.
struct SensorCoefficients
{
    float fA;
    float fB;
    float fC;
    BYTE byService[104];
};

struct DeviceRecord
{
    enum
    {
        Size = 2508
    };

    BYTE byIdentity[12]; // byte 1: manufacturer id; byte 2: device type; byte 10
    BYTE byService1[164];
    float fLowerRangeValue; // of the primary variable
    float fUpperRangeValue;
    BYTE byService2[96];
    SensorCoefficients coefficients[2];
    BYTE byService3[1796];
    // The pressure sensor's base data, filled from the three answers of command 223.
    BYTE byPressType;
    BYTE byManufacturer;
    BYTE byPressUnit;   // HART unit code
    char szSerialNo[9]; // ANSI, blank padded, not terminated
    float fRangeHigh;
    float fRangeLow;
    float fPressure;
    float fTemperature; // degrees Celsius
    float fZero;
    float fFactorK;
    float fFactorB;
    float fCalUp;
    float fCalDown;
    BYTE byServiceTail[152];

    // Every byte zero, then the defaults that the service's format gives its own fields.
    DeviceRecord();

    BYTE ManufacturerId() const { return byIdentity[1]; }
    BYTE DeviceType() const { return byIdentity[2]; }
    BYTE IdentityByte10() const { return byIdentity[10]; }
};

#pragma pack(pop)

static_assert(sizeof(DeviceRecord) == DeviceRecord::Size, "the service copies 2508 bytes");
static_assert(offsetof(DeviceRecord, fLowerRangeValue) == 176, "lower range value at 176");
static_assert(offsetof(DeviceRecord, fUpperRangeValue) == 180, "upper range value at 180");
static_assert(offsetof(DeviceRecord, coefficients) == 280, "coefficient blocks at 280");
static_assert(sizeof(SensorCoefficients) == 116, "coefficient blocks 116 bytes apart");
static_assert(offsetof(DeviceRecord, byPressType) == 2308, "base data at 2308");
static_assert(offsetof(DeviceRecord, szSerialNo) == 2311, "serial number at 2311");
static_assert(offsetof(DeviceRecord, fRangeHigh) == 2320, "range high at 2320");
static_assert(offsetof(DeviceRecord, fTemperature) == 2332, "temperature at 2332");
static_assert(offsetof(DeviceRecord, fCalDown) == 2352, "calibration down at 2352");
static_assert(offsetof(DeviceRecord, byServiceTail) == 2356, "service bytes from 2356");
